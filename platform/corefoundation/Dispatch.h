#pragma once

// Grand Central Dispatch's main queue, on the main run loop.

#include <cstdint>
#include <functional>

class CFRunLoop;
struct dispatch_queue_s;
using dispatch_queue_t = dispatch_queue_s*;
using dispatch_block_t = std::function<void()>;
// Absolute time on the main run loop's clock, in nanoseconds.
using dispatch_time_t = std::uint64_t;

inline constexpr dispatch_time_t DISPATCH_TIME_NOW = 0;
inline constexpr dispatch_time_t DISPATCH_TIME_FOREVER = ~0ull;
inline constexpr std::int64_t NSEC_PER_SEC = 1000000000ll;
inline constexpr std::int64_t NSEC_PER_MSEC = 1000000ll;

dispatch_queue_t dispatch_get_main_queue();
void dispatch_async(dispatch_queue_t, dispatch_block_t);
dispatch_time_t dispatch_time(dispatch_time_t when, std::int64_t deltaNs);
// DISPATCH_TIME_FOREVER never runs the block.
void dispatch_after(dispatch_time_t when, dispatch_queue_t, dispatch_block_t);
