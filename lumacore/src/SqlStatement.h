// A prepared statement of the PC store that finalizes itself; false when it could not be
// prepared (no database, or SQL the store refused).
#pragma once

#include <sqlite3.h>

namespace lumacore {

class SqlStatement {
public:
    SqlStatement(sqlite3 *database, const char *sql)
    {
        if (database)
            sqlite3_prepare_v2(database, sql, -1, &m_statement, nullptr);
    }
    SqlStatement(const SqlStatement &) = delete;
    SqlStatement &operator=(const SqlStatement &) = delete;
    ~SqlStatement() { sqlite3_finalize(m_statement); }
    explicit operator bool() const { return m_statement != nullptr; }
    sqlite3_stmt *get() const { return m_statement; }

private:
    sqlite3_stmt *m_statement = nullptr;
};

}  // namespace lumacore
