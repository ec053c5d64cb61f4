#include "Files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdio>

bool readTextFile(const std::string& path, std::string& content, size_t maxBytes) {
    content.clear();
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return false;
    char buffer[65536];
    size_t got;
    while (content.size() < maxBytes && (got = fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, std::min(got, maxBytes - content.size()));
    fclose(file);
    return true;
}

bool writeFileAtomically(const std::string& path, const std::string& content) {
    const std::string temporary = path + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    size_t written = 0;
    while (ok && written < content.size()) {
        ssize_t n = write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) written += static_cast<size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
}
