# cmake -DFROM=<file> -DTO=<file> -P windows_text.cmake: copies a text file with CR LF line
# ends, whatever line ends the checkout gave it.
file(READ "${FROM}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${TO}" "${text}")
