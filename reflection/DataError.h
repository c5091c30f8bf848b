// A data file whose values do not fit the reflected types (a number where a
// table belongs, an unknown class name, a key that is not a name...). Thrown
// by the value readers and caught by the file loader, which reports it and
// discards what the file had made so far. The text says where in the file the
// fault lies: "Transform.position: table expected, got number".
#pragma once
#include <stdexcept>
#include <string>

class DataError : public std::runtime_error {
public:
    explicit DataError(const std::string& what) : std::runtime_error(what) {}

    // The same error seen one level further out (a member name, "[2]").
    DataError Within(const std::string& outer) const {
        const std::string inner = what();
        const bool joined = inner.empty() || inner[0] == ':' || inner[0] == '[';
        return DataError(outer + (joined ? "" : ".") + inner);
    }
};
