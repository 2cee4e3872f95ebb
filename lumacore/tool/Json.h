// The JSON lumacore-tool prints: objects written member by member, for scripts to read.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace lumacore {

// A JSON object written member by member, two spaces an indent level.
class JsonObject {
public:
    explicit JsonObject(int depth = 1) : m_depth(depth) {}

    JsonObject &text(const char *key, const std::string &value) { return raw(key, quoted(value)); }
    JsonObject &number(const char *key, long long value) { return raw(key, std::to_string(value)); }
    JsonObject &boolean(const char *key, bool value) { return raw(key, value ? "true" : "false"); }
    JsonObject &null(const char *key) { return raw(key, "null"); }
    JsonObject &raw(const char *key, const std::string &json)
    {
        m_body += m_body.empty() ? "\n" : ",\n";
        m_body += std::string(2 * m_depth, ' ') + quoted(key) + ": " + json;
        return *this;
    }
    std::string str() const
    {
        return m_body.empty() ? "{}" : "{" + m_body + "\n" + std::string(2 * (m_depth - 1), ' ') + "}";
    }

    static std::string quoted(const std::string &value)
    {
        std::string out = "\"";
        for (char c : value) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out += '\\';
                out += c;
            } else if (c == '\n') {
                out += "\\n";
            } else if (c == '\r') {
                out += "\\r";
            } else if (byte < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
                out += escaped;
            } else {
                out += c;
            }
        }
        return out + "\"";
    }

private:
    int m_depth;
    std::string m_body;
};

// A JSON array of values already written as JSON.
inline std::string jsonArray(const std::vector<std::string> &values, int depth = 1)
{
    if (values.empty())
        return "[]";
    std::string out = "[";
    for (size_t i = 0; i < values.size(); ++i)
        out += (i ? ",\n" : "\n") + std::string(2 * (depth + 1), ' ') + values[i];
    return out + "\n" + std::string(2 * depth, ' ') + "]";
}

}  // namespace lumacore
