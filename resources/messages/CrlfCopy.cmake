# cmake -DIN=<text file> -DOUT=<copy> -P CrlfCopy.cmake
# Copies a text file with CR LF at the end of every line, whatever line ends it had. windmc keeps
# each source line's end as the soft break of the stored text, and FormatMessageW knows a soft
# break as CR LF (which is what the Microsoft compiler stores).
#
# An entry still waiting for its translation (its text is TODO) is left out: the program then
# finds no text for it, as for any message a block lacks, instead of showing the placeholder.
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REGEX REPLACE "MessageId=0x[0-9A-Fa-f]+\nLanguage=[A-Za-z]+\nTODO\n[.]\n" "" text "${text}")
if(NOT text MATCHES "\n$")
  string(APPEND text "\n")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUT}" "${text}")
