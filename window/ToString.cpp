#include "ToString.h"

#include <sstream>

template <typename T>
std::string ToString(const T& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

template QM_API std::string ToString<int>(const int& value);
