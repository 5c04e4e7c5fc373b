// Dispatch objects: a reference count and a kind-specific body.
#include <dispatch/dispatch.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

struct dispatch_object_s {
  std::atomic<long> refs{1};
  virtual ~dispatch_object_s() = default;
};

struct dispatch_semaphore_s : dispatch_object_s {
  std::mutex mutex;
  std::condition_variable available;
  long value = 0;
  long waiters = 0;
};

struct dispatch_data_s : dispatch_object_s {
  std::vector<unsigned char> copy; // the bytes when copied
  const void* bytes = nullptr;
  size_t size = 0;
  dispatch_block_t destructor;       // runs when the bytes were used in place
  dispatch_data_s* source = nullptr; // a map keeps its source alive
  ~dispatch_data_s() override
  {
    if (destructor)
      destructor();
    if (source)
      dispatch_release(source);
  }
};

struct dispatch_queue_s : dispatch_object_s {};

void dispatch_retain(void* object)
{
  if (object && object != dispatch_get_main_queue())
    static_cast<dispatch_object_s*>(object)->refs.fetch_add(1, std::memory_order_relaxed);
}

void dispatch_release(void* object)
{
  if (!object || object == dispatch_get_main_queue())
    return;
  auto* o = static_cast<dispatch_object_s*>(object);
  if (o->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
    delete o;
}

dispatch_time_t dispatch_time(dispatch_time_t when, int64_t delta)
{
  if (when == DISPATCH_TIME_FOREVER)
    return when;
  if (when == DISPATCH_TIME_NOW)
    when = dispatch_time_t(
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count());
  const int64_t t = int64_t(when) + delta;
  return t <= 0 ? 1 : dispatch_time_t(t); // 0 would mean "now"
}

dispatch_semaphore_t dispatch_semaphore_create(long value)
{
  if (value < 0)
    return nullptr;
  auto* s = new dispatch_semaphore_s();
  s->value = value;
  return s;
}

long dispatch_semaphore_wait(dispatch_semaphore_t s, dispatch_time_t timeout)
{
  std::unique_lock<std::mutex> lock(s->mutex);
  auto ready = [s] { return s->value > 0; };
  if (timeout == DISPATCH_TIME_NOW) {
    if (!ready())
      return 1;
  } else {
    ++s->waiters;
    bool got = true;
    if (timeout == DISPATCH_TIME_FOREVER) {
      s->available.wait(lock, ready);
    } else {
      const auto deadline = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(timeout));
      got = s->available.wait_until(lock, deadline, ready);
    }
    --s->waiters;
    if (!got)
      return 1;
  }
  --s->value;
  return 0;
}

long dispatch_semaphore_signal(dispatch_semaphore_t s)
{
  std::lock_guard<std::mutex> lock(s->mutex);
  ++s->value;
  if (s->waiters == 0)
    return 0;
  s->available.notify_one();
  return 1;
}

dispatch_queue_t dispatch_get_main_queue()
{
  static dispatch_queue_s mainQueue; // never released to zero: a global object
  return &mainQueue;
}

dispatch_data_t dispatch_data_create(const void* buffer, size_t size, dispatch_queue_t, dispatch_block_t destructor)
{
  auto* d = new dispatch_data_s();
  if (!buffer || size == 0)
    return d;
  if (destructor) {
    d->bytes = buffer;
    d->destructor = std::move(destructor);
  } else {
    d->copy.assign(static_cast<const unsigned char*>(buffer), static_cast<const unsigned char*>(buffer) + size);
    d->bytes = d->copy.data();
  }
  d->size = size;
  return d;
}

size_t dispatch_data_get_size(dispatch_data_t data) { return data ? data->size : 0; }

dispatch_data_t dispatch_data_create_map(dispatch_data_t data, const void** buffer_ptr, size_t* size_ptr)
{
  auto* map = new dispatch_data_s();
  if (data) {
    dispatch_retain(data);
    map->source = data;
    map->bytes = data->bytes;
    map->size = data->size;
  }
  if (buffer_ptr)
    *buffer_ptr = map->bytes;
  if (size_ptr)
    *size_ptr = map->size;
  return map;
}

void dispatch_once(dispatch_once_t* predicate, dispatch_block_t block)
{
  // 0 untouched, 1 running, ~0 done; late callers wait for the first.
  static std::mutex mutex;
  static std::condition_variable done;
  auto* flag = reinterpret_cast<std::atomic<long>*>(predicate);
  if (flag->load(std::memory_order_acquire) == ~0L)
    return;
  std::unique_lock<std::mutex> lock(mutex);
  if (flag->load(std::memory_order_acquire) == 0) {
    flag->store(1, std::memory_order_relaxed);
    lock.unlock();
    block();
    lock.lock();
    flag->store(~0L, std::memory_order_release);
    done.notify_all();
    return;
  }
  done.wait(lock, [flag] { return flag->load(std::memory_order_acquire) == ~0L; });
}
