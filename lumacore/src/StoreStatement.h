// A prepared SQLite statement that is always finalised, with the binds the store's tables use.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace lumacore {

class StoreStatement {
public:
    StoreStatement(sqlite3 *database, const char *sql)
    {
        if (database && sqlite3_prepare_v2(database, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            m_statement = nullptr;
    }
    StoreStatement(const StoreStatement &) = delete;
    StoreStatement &operator=(const StoreStatement &) = delete;
    ~StoreStatement() { sqlite3_finalize(m_statement); }
    explicit operator bool() const { return m_statement != nullptr; }
    sqlite3_stmt *get() const { return m_statement; }

    void text(int column, const std::string &value)
    {
        sqlite3_bind_text(m_statement, column, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    }
    void integer(int column, int64_t value) { sqlite3_bind_int64(m_statement, column, value); }
    bool done() { return sqlite3_step(m_statement) == SQLITE_DONE; }
    bool row() { return sqlite3_step(m_statement) == SQLITE_ROW; }
    std::string columnText(int column) const
    {
        auto value = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        return value ? value : "";
    }

private:
    sqlite3_stmt *m_statement = nullptr;
};

}  // namespace lumacore
