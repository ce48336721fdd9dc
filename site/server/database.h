// A thin RAII layer over SQLite: one connection, prepared statements, errors as exceptions.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace xl::site {

class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Database {
public:
    // Opens or creates the file.
    explicit Database(const std::string& path);

    // Runs statements that take no parameters and give no rows (the schema, pragmas).
    void Execute(const char* sql);

    sqlite3* handle() const { return db_.get(); }
    std::int64_t LastInsertId() const { return sqlite3_last_insert_rowid(db_.get()); }
    int Changes() const { return sqlite3_changes(db_.get()); }

    [[noreturn]] void Fail(std::string_view what) const;

private:
    struct Closer {
        void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Closer> db_;
};

// A prepared statement, prepared once and kept for reuse; each use goes through a Use.
class Statement {
public:
    Statement(Database& db, const char* sql);

    // One use of the statement: binds from 1 upwards, and resets the statement and clears its
    // bindings when it goes out of scope.
    class Use {
    public:
        explicit Use(Statement& s) : s_(s) {}
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

        Use& Bind(std::int64_t value);
        Use& BindText(std::string_view text);
        Use& BindBlob(std::string_view bytes);

        // Steps once: true while there is a row to read.
        bool Next();
        // Steps to the end, for statements without rows.
        void Run();

        std::int64_t Int(int column) const;
        std::string Bytes(int column) const;  // text or blob, byte for byte

    private:
        sqlite3_stmt* stmt() const { return s_.stmt_.get(); }
        Statement& s_;
        int next_parameter_ = 1;
    };

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
    };
    Database& db_;
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

}  // namespace xl::site
