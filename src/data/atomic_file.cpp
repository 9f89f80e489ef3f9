#include "data/atomic_file.h"

#include <atomic>
#include <fstream>
#include <system_error>

#include "data/text.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace ws {

void (*BeforeAtomicCommit)(const std::string& tempPath) = nullptr;
void (*AfterFlushToDisk)(const std::string& path) = nullptr;

namespace {

// Asks the system to put a file's (or a folder's) contents on the disk now. Without it a power
// cut shortly after the rename can leave the new name pointing at an empty file, and the old
// contents gone as well.
bool FlushToDisk(const fs::path& path, bool folder) {
    bool ok = true;
#if defined(_WIN32)
    // A folder's entries are written through by the rename itself on NTFS.
    if (!folder) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ok = h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
#else
    const int fd = ::open(path.c_str(), folder ? (O_RDONLY | O_DIRECTORY) : O_WRONLY);
    ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
#endif
    if (AfterFlushToDisk)
        AfterFlushToDisk(PathToUtf8(path));
    return ok;
}

// The file a name stands for: a symbolic link is kept and the file it points to is replaced,
// as an editor saving through the link would.
fs::path ResolveLinks(const fs::path& target) {
    fs::path p = target;
    std::error_code ec;
    // A bounded walk: a loop of links must not hang the save.
    for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hop) {
        const fs::path next = fs::read_symlink(p, ec);
        if (ec)
            return target;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    const fs::path target = ResolveLinks(PathFromUtf8(path));
    std::error_code ec;
    if (fs::is_directory(target, ec))
        return fail("это каталог");
    const fs::file_status st = fs::status(target, ec);
    if (!ec && fs::exists(st) && (st.permissions() & fs::perms::owner_write) == fs::perms::none)
        return fail("файл только для чтения");
    static std::atomic<unsigned> counter{0};
    fs::path temp = target;
    temp += ".~" + std::to_string(counter++) + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return fail("нельзя создать файл в этом каталоге");
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return fail("ошибка записи (диск полон?)");
        }
        out.close();
        if (out.fail()) {
            fs::remove(temp, ec);
            return fail("ошибка записи (диск полон?)");
        }
    }
    // The new file replaces the old one with the old one's permissions (a file the owner made
    // private stays private), not with whatever the process's defaults give it.
    if (!ec && fs::exists(st))
        fs::permissions(temp, st.permissions(), fs::perm_options::replace, ec);
    if (!FlushToDisk(temp, false)) {
        fs::remove(temp, ec);
        return fail("ошибка записи на диск");
    }
    if (BeforeAtomicCommit)
        BeforeAtomicCommit(PathToUtf8(temp));
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return fail(ec.message());
    }
    // The rename itself lives in the folder: flushed too, or the old name may come back.
    FlushToDisk(target.parent_path().empty() ? fs::path(".") : target.parent_path(), true);
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit, std::string* error) {
    const fs::path p = PathFromUtf8(path);
    std::error_code ec;
    if (fs::is_directory(p, ec)) {
        if (error)
            *error = "это каталог";
        return false;
    }
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        if (error)
            *error = "нет доступа";
        return false;
    }
    bytes.clear();
    char chunk[65536];
    while (in) {
        in.read(chunk, sizeof chunk);
        const auto got = static_cast<size_t>(in.gcount());
        if (bytes.size() + got > limit) {
            if (error)
                *error = "файл слишком велик";
            return false;
        }
        bytes.append(chunk, got);
    }
    if (in.bad()) {
        if (error)
            *error = "ошибка чтения";
        return false;
    }
    return true;
}

}  // namespace ws
