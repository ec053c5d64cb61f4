// Number texts in files and logs are always C-locale texts, whatever locale the
// simulator or another plug-in has set for the process.
#pragma once

#include <cstdarg>
#include <string>

// Switches the calling thread to the C locale for the scope's lifetime.
class CLocaleScope {
public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    void* m_Previous;
};

std::string formatC(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string vformatC(const char* format, va_list args);
// strtod/strtol in the C locale; `end` as for strtod.
double parseDoubleC(const char* text, char** end = nullptr);
