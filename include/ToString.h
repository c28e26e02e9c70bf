// Decimal text of a value, as a text stream writes it ("-42", "7"), in the
// classic locale: plain digits whatever the game's global locale.
// The library exports the int form.
#ifndef QUILLMAR_TOSTRING_H
#define QUILLMAR_TOSTRING_H

#include "QuillmarExport.h"

#include <string>

template <typename T>
QM_API std::string ToString(const T& value);

extern template QM_API std::string ToString<int>(const int& value);

#endif
