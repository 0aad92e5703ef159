#pragma once

namespace gironario {

// Exit statuses of the program.
inline constexpr int EXIT_OK = 0;      // every run was completed
inline constexpr int EXIT_FAILED = 1;  // a run failed, or the input ended before an answer
inline constexpr int EXIT_USAGE = 2;   // the command line was wrong; nothing was touched

}  // namespace gironario
