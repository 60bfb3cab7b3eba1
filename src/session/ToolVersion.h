#pragma once

// The tool's version, shown by the about box and by kovr-cli --version.
inline constexpr const char* ToolVersion = "1.1.0.0";
