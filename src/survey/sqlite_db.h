#pragma once
// A thin owner of SQLite handles: the connection, prepared statements and transactions close
// themselves, and every failure is a result with SQLite's own message, never an exception.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace ws::sql {

class Database;

// One prepared statement. Bind indices start at 1, column indices at 0, as in SQLite.
class Statement {
  public:
    Statement() = default;
    Statement(Database& db, std::string_view text);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return stmt_ != nullptr; }

    Statement& Bind(int index, int64_t value);
    Statement& Bind(int index, double value);
    Statement& Bind(int index, std::string_view text);
    Statement& Bind(int index, const char* text) { return Bind(index, std::string_view(text)); }
    Statement& Bind(int index, const std::string& text) {
        return Bind(index, std::string_view(text));
    }
    Statement& Bind(int index, int value) { return Bind(index, static_cast<int64_t>(value)); }
    Statement& BindNull(int index);
    Statement& Bind(int index, std::optional<double> value) {
        return value ? Bind(index, *value) : BindNull(index);
    }

    // True while a row is available; false at the end or on an error (see Failed).
    bool Step();
    // Runs a statement that returns no rows. False on an error.
    bool Run();
    void Reset();
    bool Failed() const { return failed_; }

    bool IsNull(int column) const;
    int64_t Int(int column) const;
    double Real(int column) const;
    std::optional<double> OptReal(int column) const;
    std::string Text(int column) const;

  private:
    Database* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    bool failed_ = false;
};

class Database {
  public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (creating when asked) a database file given as a UTF-8 path. Busy connections wait
    // up to `busyMs` for another process's write to finish instead of failing at once.
    bool Open(const std::string& path, bool create, int busyMs);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    // True when the file could only be opened for reading (write-protected file or folder).
    bool ReadOnly() const;

    // Runs one or more statements without results. False on an error.
    bool Exec(std::string_view sqlText);
    // The first column of the first row of a query, or nothing.
    std::optional<int64_t> QueryInt(std::string_view sqlText);
    int64_t LastInsertId() const;
    int Changes() const;

    // The last error as SQLite words it, and its primary result code.
    const std::string& Error() const { return error_; }
    int ErrorCode() const { return errorCode_; }
    void NoteError();
    void NoteError(const std::string& text, int code);

    sqlite3* Handle() { return db_; }

  private:
    sqlite3* db_ = nullptr;
    std::string error_;
    int errorCode_ = 0;
};

// BEGIN IMMEDIATE on construction: the write lock is taken up front, so two processes never
// both read, then both try to upgrade and one fails half-way. Rolls back unless committed.
class Transaction {
  public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool Began() const { return began_; }
    bool Commit();

  private:
    Database& db_;
    bool began_ = false;
    bool done_ = false;
};

}  // namespace ws::sql
