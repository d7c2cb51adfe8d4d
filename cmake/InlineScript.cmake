# Puts scripts into an HTML file in place of the elements that name them:
# `<script src="NAME"></script>` becomes the file's text inside `<script>`,
# and `<script type="application/json" id="X" src="NAME"></script>` the
# file's data inside that element, so the page fetches nothing.
# cmake -D HTML=in.html -D SCRIPTS="dir/NAME;..." -D OUTPUT=out.html -P InlineScript.cmake
file(READ ${HTML} html)
foreach(script IN LISTS SCRIPTS)
    file(READ ${script} text)
    get_filename_component(name ${script} NAME)
    set(element " src=\"${name}\"></script>")
    string(FIND "${html}" "${element}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${HTML} has no <script ...${element}")
    endif()
    string(FIND "${text}" "</script" closing)
    if(NOT closing EQUAL -1)
        message(FATAL_ERROR "${script} holds </script, which would end the element early")
    endif()
    string(REPLACE "${element}" ">\n${text}</script>" html "${html}")
endforeach()
file(WRITE ${OUTPUT}.new "${html}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
