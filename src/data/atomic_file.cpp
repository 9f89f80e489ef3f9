#include "data/atomic_file.h"

#include <atomic>
#include <fstream>
#include <system_error>

#include "data/text.h"

namespace fs = std::filesystem;

namespace ws {

void (*BeforeAtomicCommit)(const std::string& tempPath) = nullptr;

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    const fs::path target = PathFromUtf8(path);
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
    if (BeforeAtomicCommit)
        BeforeAtomicCommit(PathToUtf8(temp));
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return fail(ec.message());
    }
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
