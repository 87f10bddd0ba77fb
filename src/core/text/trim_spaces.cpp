#include "text/trim_spaces.h"

#include <cstring>

namespace vntra {

bool trim_spaces(std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    size_t last = text.find_last_not_of(' ');
    text = text.substr(first, last - first + 1);
    return true;
}

bool trim_spaces(char* text) {
    size_t length = std::strlen(text);
    size_t first = 0;
    while (first < length && text[first] == ' ')
        ++first;
    if (first == length)
        return false;
    size_t end = length;
    while (end > first && text[end - 1] == ' ')
        --end;
    std::memmove(text, text + first, end - first);
    text[end - first] = '\0';
    return true;
}

} // namespace vntra
