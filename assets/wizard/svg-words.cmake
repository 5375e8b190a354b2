# Writes the words a drawing shows (the contents of its <text> elements, one line each, in
# drawing order) to OUTPUT, so a screen reader can read what the rendered picture says.
# Usage: cmake -DINPUT=drawing.svg -DOUTPUT=picture.words -P svg-words.cmake
file(READ ${INPUT} drawing)
# A ";" would split the list of matches: it travels as a control character meanwhile.
string(ASCII 1 semicolon)
string(REPLACE ";" "${semicolon}" drawing "${drawing}")
string(REGEX MATCHALL "<text[^>]*>[^<]*</text>" texts "${drawing}")
set(words "")
foreach(text IN LISTS texts)
    string(REGEX REPLACE "^<text[^>]*>([^<]*)</text>$" "\\1" line "${text}")
    string(REPLACE "&lt;" "<" line "${line}")
    string(REPLACE "&gt;" ">" line "${line}")
    string(REPLACE "&quot;" "\"" line "${line}")
    string(REPLACE "&apos;" "'" line "${line}")
    string(REPLACE "&amp;" "&" line "${line}")
    string(REPLACE "${semicolon}" ";" line "${line}")
    string(STRIP "${line}" line)
    if(NOT line STREQUAL "")
        string(APPEND words "${line}\n")
    endif()
endforeach()
file(WRITE ${OUTPUT} "${words}")
