#include "database.h"

namespace xl::site {

Database::Database(const std::string& path) {
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    // The handle needs closing even when opening failed.
    db_.reset(db);
    if (rc != SQLITE_OK) Fail("cannot open " + path);
    sqlite3_extended_result_codes(db, 1);
}

void Database::Execute(const char* sql) {
    if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
}

void Database::Fail(std::string_view what) const {
    std::string message(what);
    message += ": ";
    message += db_ ? sqlite3_errmsg(db_.get()) : "out of memory";
    throw DatabaseError(message);
}

Statement::Statement(Database& db, const char* sql) : db_(db) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(db.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) !=
        SQLITE_OK) {
        db.Fail(sql);
    }
    stmt_.reset(stmt);
}

Statement::Use::~Use() {
    sqlite3_reset(stmt());
    sqlite3_clear_bindings(stmt());
}

Statement::Use& Statement::Use::Bind(std::int64_t value) {
    if (sqlite3_bind_int64(stmt(), next_parameter_++, value) != SQLITE_OK) s_.db_.Fail("bind");
    return *this;
}

Statement::Use& Statement::Use::BindText(std::string_view text) {
    if (sqlite3_bind_text64(stmt(), next_parameter_++, text.data(), text.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK) {
        s_.db_.Fail("bind");
    }
    return *this;
}

Statement::Use& Statement::Use::BindBlob(std::string_view bytes) {
    // A zero-length blob rather than NULL for an empty value.
    if (sqlite3_bind_blob64(stmt(), next_parameter_++, bytes.empty() ? "" : bytes.data(),
                            bytes.size(), SQLITE_TRANSIENT) != SQLITE_OK) {
        s_.db_.Fail("bind");
    }
    return *this;
}

bool Statement::Use::Next() {
    const int rc = sqlite3_step(stmt());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    s_.db_.Fail(sqlite3_sql(stmt()));
}

void Statement::Use::Run() {
    while (Next()) {
    }
}

std::int64_t Statement::Use::Int(int column) const { return sqlite3_column_int64(stmt(), column); }

std::string Statement::Use::Bytes(int column) const {
    const void* data = sqlite3_column_blob(stmt(), column);
    const int size = sqlite3_column_bytes(stmt(), column);
    return data ? std::string(static_cast<const char*>(data), static_cast<std::size_t>(size))
                : std::string();
}

}  // namespace xl::site
