#pragma once
// ELayoutError: the failure of an automatic layout; nothing has moved when it is raised.
#include <stdexcept>
#include <string>

class ELayoutError : public std::runtime_error
{
public:
    explicit ELayoutError(const std::string &message) : std::runtime_error(message) {}
};

// Texts the user sees when the layout gives up.
inline constexpr const char *LayoutFailedText = "Layout failed.";
inline constexpr const char *ConnectionCyclesText = "connection-cycles";
