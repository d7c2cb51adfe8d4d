# The icon for a launcher that crops it to its own shape (a circle, a
# squircle): the drawing, its rounded tile included, shrunk to seven tenths,
# which puts it inside the circle of four fifths of the width that every
# shape keeps, on a background of the page's colour that fills the square.
# cmake -D ICON=icon.svg -D PAGE=shell.html -D OUTPUT=maskable.svg -P MaskableIcon.cmake
file(READ ${PAGE} page)
string(REGEX MATCH "--page-colour: (#[0-9a-fA-F]+);" found "${page}")
if(found STREQUAL "")
    message(FATAL_ERROR "${PAGE} has no --page-colour")
endif()
set(background ${CMAKE_MATCH_1})
file(READ ${ICON} svg)
string(REGEX MATCH "<svg[^>]*>" open "${svg}")
string(REGEX MATCH "viewBox=\"0 0 ([0-9.]+) ([0-9.]+)\"" box "${open}")
if(open STREQUAL "" OR box STREQUAL "" OR NOT CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
    message(FATAL_ERROR "${ICON} has no square viewBox from 0 0")
endif()
set(size ${CMAKE_MATCH_1})
string(FIND "${svg}" "${open}" from)
string(LENGTH "${open}" length)
math(EXPR from "${from} + ${length}")
string(FIND "${svg}" "</svg>" to REVERSE)
math(EXPR length "${to} - ${from}")
string(SUBSTRING "${svg}" ${from} ${length} drawing)
math(EXPR half "${size} / 2")
file(WRITE ${OUTPUT}.new "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"${size}\" height=\"${size}\" viewBox=\"0 0 ${size} ${size}\">
<rect width=\"${size}\" height=\"${size}\" fill=\"${background}\"/>
<g transform=\"translate(${half} ${half}) scale(0.7) translate(-${half} -${half})\">${drawing}</g>
</svg>
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
