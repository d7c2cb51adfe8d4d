# Puts a script into an HTML file in place of the element that names it:
# `<script src="NAME"></script>` becomes the file's text inside `<script>`,
# so the page fetches nothing.
# cmake -D HTML=in.html -D SCRIPT=dir/NAME -D OUTPUT=out.html -P InlineScript.cmake
file(READ ${HTML} html)
file(READ ${SCRIPT} script)
get_filename_component(name ${SCRIPT} NAME)
set(element "<script src=\"${name}\"></script>")
string(FIND "${html}" "${element}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${HTML} has no ${element}")
endif()
string(FIND "${script}" "</script" closing)
if(NOT closing EQUAL -1)
    message(FATAL_ERROR "${SCRIPT} holds </script, which would end the element early")
endif()
string(REPLACE "${element}" "<script>\n${script}</script>" html "${html}")
file(WRITE ${OUTPUT}.new "${html}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
