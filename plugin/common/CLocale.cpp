#include "CLocale.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <vector>

namespace {
locale_t cLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", nullptr);
    return loc;
}
}  // namespace

CLocaleScope::CLocaleScope() : m_Previous(uselocale(cLocale())) {}

CLocaleScope::~CLocaleScope() { uselocale(static_cast<locale_t>(m_Previous)); }

std::string vformatC(const char* format, va_list args) {
    CLocaleScope scope;
    char small[512];
    va_list copy;
    va_copy(copy, args);
    int needed = vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed < 0) return std::string();
    if (static_cast<size_t>(needed) < sizeof small) return std::string(small, static_cast<size_t>(needed));
    std::vector<char> big(static_cast<size_t>(needed) + 1);
    vsnprintf(big.data(), big.size(), format, args);
    return std::string(big.data(), static_cast<size_t>(needed));
}

std::string formatC(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = vformatC(format, args);
    va_end(args);
    return text;
}

double parseDoubleC(const char* text, char** end) { return strtod_l(text, end, cLocale()); }
