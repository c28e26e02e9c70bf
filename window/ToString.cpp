#include "ToString.h"

#include <locale>
#include <sstream>

template <typename T>
std::string ToString(const T& value) {
    std::ostringstream out;
    // Plain digits whatever locale the game made global (no digit grouping).
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

template QM_API std::string ToString<int>(const int& value);
