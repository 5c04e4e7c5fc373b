// The parts of libdispatch the system calls: counting semaphores, byte
// containers, one-time initialisation and time values. Objects are
// reference counted with dispatch_retain/dispatch_release; blocks are
// std::function. Thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#pragma GCC visibility push(default)

typedef std::function<void()> dispatch_block_t;
typedef uint64_t dispatch_time_t;
#define DISPATCH_TIME_NOW (0ull)
#define DISPATCH_TIME_FOREVER (~0ull)
#define NSEC_PER_SEC 1000000000ull
#define NSEC_PER_MSEC 1000000ull

struct dispatch_object_s;
struct dispatch_semaphore_s;
struct dispatch_data_s;
struct dispatch_queue_s;
typedef struct dispatch_semaphore_s* dispatch_semaphore_t;
typedef struct dispatch_data_s* dispatch_data_t;
typedef struct dispatch_queue_s* dispatch_queue_t;

// Generic reference counting of any dispatch object.
void dispatch_retain(void* object);
void dispatch_release(void* object);

// Monotonic time: when + delta nanoseconds (DISPATCH_TIME_NOW = now).
dispatch_time_t dispatch_time(dispatch_time_t when, int64_t delta);

// NULL for a negative value. wait returns 0 when it took a unit, non-zero
// on time-out; signal returns non-zero when it woke a waiter.
dispatch_semaphore_t dispatch_semaphore_create(long value);
long dispatch_semaphore_wait(dispatch_semaphore_t semaphore, dispatch_time_t timeout);
long dispatch_semaphore_signal(dispatch_semaphore_t semaphore);

dispatch_queue_t dispatch_get_main_queue();

// With the default destructor (an empty function) the bytes are copied;
// with a destructor they are used in place and the destructor runs (on
// the releasing thread here) when the data object goes.
#define DISPATCH_DATA_DESTRUCTOR_DEFAULT (dispatch_block_t())
dispatch_data_t dispatch_data_create(const void* buffer, size_t size, dispatch_queue_t queue,
                                     dispatch_block_t destructor);
size_t dispatch_data_get_size(dispatch_data_t data);
// A data object holding the same bytes contiguously (retained), with a
// pointer to them and their size.
dispatch_data_t dispatch_data_create_map(dispatch_data_t data, const void** buffer_ptr, size_t* size_ptr);

typedef long dispatch_once_t;
void dispatch_once(dispatch_once_t* predicate, dispatch_block_t block);

#pragma GCC visibility pop
