# cmake -DIN=<text file> -DOUT=<copy> -P CrlfCopy.cmake
# Copies a text file with CR LF at the end of every line, whatever line ends it had. windmc keeps
# each source line's end as the soft break of the stored text, and FormatMessageW knows a soft
# break as CR LF (which is what the Microsoft compiler stores).
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
if(NOT text MATCHES "\n$")
  string(APPEND text "\n")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUT}" "${text}")
