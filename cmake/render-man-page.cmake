# Renders the man page for a system that has no man: as plain text and as
# HTML, with mandoc, from the page itself, so that it has one source.
#
#   cmake -DMANDOC=PROGRAM -DPAGE=man/vss-handler.1 -DTEXT=OUT.txt
#         -DHTML=OUT.html -P render-man-page.cmake
#
# The text has CR LF line ends, which every Windows editor shows as lines
# (Notepad before Windows 10 shows no others), and no overstrikes: mandoc
# makes bold and underlined letters by backspacing over them, for a terminal.

function(render format output)
  execute_process(COMMAND ${MANDOC} -T${format} ${PAGE}
                  OUTPUT_VARIABLE rendered RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "mandoc -T${format} ${PAGE} failed: ${status}")
  endif()
  set(${output} "${rendered}" PARENT_SCOPE)
endfunction()

render(ascii text)
string(ASCII 8 backspace)
string(REGEX REPLACE "[^\n]${backspace}" "" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TEXT} "${text}")

render(html html)
file(WRITE ${HTML} "${html}")
