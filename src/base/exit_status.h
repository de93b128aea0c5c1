// The exit statuses of an unattended run, one list for velmora-cli and for the desktop
// application's start from a configuration file, so a scheduler reads the same numbers from
// both. docs/cli.md documents them.
#pragma once

namespace velmora::exit_status {

inline constexpr int kFinished = 0;       // the run finished and compared everything asked
inline constexpr int kStopped = 1;        // the run was stopped (other than by a signal)
inline constexpr int kUsage = 2;          // bad command line
inline constexpr int kUnanswered = 3;     // a question needed an answer nobody gave
inline constexpr int kNotConnected = 4;   // a database could not be connected
inline constexpr int kRunErrors = 5;      // finished, but something could not be read or compared
inline constexpr int kOutputFailed = 6;   // the report or script file could not be written
inline constexpr int kNoClient = 7;       // the Oracle client library could not be loaded
inline constexpr int kConfiguration = 8;  // a configuration file could not be read or written
inline constexpr int kDifferences = 9;    // finished and found differences (with --exit-code)
inline constexpr int kSignalBase = 128;   // stopped by a signal: 128 + its number

}  // namespace velmora::exit_status
