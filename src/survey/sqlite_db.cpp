#include "survey/sqlite_db.h"

#include <sqlite3.h>

#include <utility>

namespace ws::sql {

Statement::Statement(Database& db, std::string_view text) : db_(&db) {
    if (!db.IsOpen()) {
        failed_ = true;
        return;
    }
    if (sqlite3_prepare_v2(db.Handle(), text.data(), static_cast<int>(text.size()), &stmt_,
                           nullptr) != SQLITE_OK) {
        db.NoteError();
        stmt_ = nullptr;
        failed_ = true;
    }
}

Statement::~Statement() {
    if (stmt_)
        sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)), failed_(other.failed_) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        if (stmt_)
            sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = std::exchange(other.stmt_, nullptr);
        failed_ = other.failed_;
    }
    return *this;
}

Statement& Statement::Bind(int index, int64_t value) {
    if (stmt_ && sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
        failed_ = true;
    return *this;
}

Statement& Statement::Bind(int index, double value) {
    if (stmt_ && sqlite3_bind_double(stmt_, index, value) != SQLITE_OK)
        failed_ = true;
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    if (stmt_ && sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                                     SQLITE_UTF8) != SQLITE_OK)
        failed_ = true;
    return *this;
}

Statement& Statement::BindNull(int index) {
    if (stmt_ && sqlite3_bind_null(stmt_, index) != SQLITE_OK)
        failed_ = true;
    return *this;
}

bool Statement::Step() {
    if (!stmt_ || failed_)
        return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        failed_ = true;
        db_->NoteError();
    }
    return false;
}

bool Statement::Run() {
    Step();
    return !failed_;
}

void Statement::Reset() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    failed_ = stmt_ == nullptr;
}

bool Statement::IsNull(int column) const {
    return !stmt_ || sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

int64_t Statement::Int(int column) const {
    return stmt_ ? sqlite3_column_int64(stmt_, column) : 0;
}

double Statement::Real(int column) const {
    return stmt_ ? sqlite3_column_double(stmt_, column) : 0.0;
}

std::optional<double> Statement::OptReal(int column) const {
    if (IsNull(column))
        return std::nullopt;
    return Real(column);
}

std::string Statement::Text(int column) const {
    if (!stmt_)
        return {};
    const auto* p = sqlite3_column_text(stmt_, column);
    const int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n))
             : std::string();
}

Database::~Database() {
    Close();
}

bool Database::Open(const std::string& path, bool create, int busyMs) {
    Close();
    const int flags =
        SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    // The path is UTF-8 on every platform: sqlite3_open_v2 takes UTF-8 also on Windows.
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        NoteError(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc), rc);
        Close();
        return false;
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, busyMs);
    return true;
}

void Database::Close() {
    if (db_) {
        // Statements are owned by their callers and finalised before this runs; close_v2 would
        // defer, but a connection left half-open holds the file's lock.
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

bool Database::ReadOnly() const {
    return db_ && sqlite3_db_readonly(db_, "main") == 1;
}

bool Database::Exec(std::string_view sqlText) {
    if (!db_) {
        NoteError("нет соединения", SQLITE_MISUSE);
        return false;
    }
    const std::string text(sqlText);
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        NoteError(message ? message : sqlite3_errstr(rc), rc);
        sqlite3_free(message);
        return false;
    }
    return true;
}

std::optional<int64_t> Database::QueryInt(std::string_view sqlText) {
    Statement st(*this, sqlText);
    if (st.Step())
        return st.Int(0);
    return std::nullopt;
}

int64_t Database::LastInsertId() const {
    return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

int Database::Changes() const {
    return db_ ? sqlite3_changes(db_) : 0;
}

void Database::NoteError() {
    if (db_)
        NoteError(sqlite3_errmsg(db_), sqlite3_errcode(db_) & 0xff);
}

void Database::NoteError(const std::string& text, int code) {
    error_ = text;
    errorCode_ = code & 0xff;
}

Transaction::Transaction(Database& db) : db_(db) {
    began_ = db_.Exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (began_ && !done_) {
        // Keep the error that made the caller give up, not the rollback's.
        const std::string error = db_.Error();
        const int code = db_.ErrorCode();
        db_.Exec("ROLLBACK");
        db_.NoteError(error, code);
    }
}

bool Transaction::Commit() {
    if (!began_ || done_)
        return false;
    done_ = db_.Exec("COMMIT");
    return done_;
}

}  // namespace ws::sql
