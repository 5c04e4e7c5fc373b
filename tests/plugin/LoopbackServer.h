#pragma once
// A one-thread HTTP server on 127.0.0.1 and an ephemeral port, for tests of
// the version check. It answers every request with one fixed body, or
// accepts and stays silent. It stops by itself after a bounded lifetime and
// when destroyed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class LoopbackServer {
public:
  enum class Mode { kAnswer, kSilent };

  explicit LoopbackServer(std::string body, Mode mode = Mode::kAnswer,
                          std::chrono::milliseconds lifetime = std::chrono::seconds(20))
  : mBody(std::move(body)), mMode(mode), mLifetime(lifetime)
  {
    mListen = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    int one = 1;
    setsockopt(mListen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    if (bind(mListen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || listen(mListen, 8) != 0)
      return;
    socklen_t len = sizeof(addr);
    getsockname(mListen, reinterpret_cast<sockaddr*>(&addr), &len);
    mPort = ntohs(addr.sin_port);
    mThread = std::thread([this] { Run(); });
  }

  ~LoopbackServer()
  {
    mStop = true;
    if (mThread.joinable())
      mThread.join();
    if (mListen >= 0)
      close(mListen);
  }

  int Port() const { return mPort; }
  std::string BaseAddress() const { return "http://127.0.0.1:" + std::to_string(mPort); }
  int Requests() const { return mRequests; }
  std::vector<std::string> RequestLines() const
  {
    std::lock_guard<std::mutex> lock(mLinesMutex);
    return mLines;
  }

  // A port on which nothing listens: bound once, then released.
  static int RefusedPort()
  {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    socklen_t len = sizeof(addr);
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    close(s);
    return ntohs(addr.sin_port);
  }

private:
  void Run()
  {
    const auto end = std::chrono::steady_clock::now() + mLifetime;
    std::vector<int> held;
    while (!mStop && std::chrono::steady_clock::now() < end) {
      pollfd p{mListen, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0)
        continue;
      int c = accept(mListen, nullptr, nullptr);
      if (c < 0)
        continue;
      std::string request = ReadRequest(c, end);
      ++mRequests;
      {
        std::lock_guard<std::mutex> lock(mLinesMutex);
        mLines.push_back(request.substr(0, request.find("\r\n")));
      }
      if (mMode == Mode::kSilent) {
        held.push_back(c);
        continue;
      }
      std::string reply =
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(mBody.size()) +
        "\r\nConnection: close\r\n\r\n" + mBody;
      for (size_t sent = 0; sent < reply.size();) {
        ssize_t n = send(c, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
          break;
        sent += static_cast<size_t>(n);
      }
      close(c);
    }
    for (int c : held)
      close(c);
  }

  std::string ReadRequest(int c, std::chrono::steady_clock::time_point end)
  {
    std::string request;
    char buf[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384 && !mStop &&
           std::chrono::steady_clock::now() < end) {
      pollfd p{c, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0)
        continue;
      ssize_t n = recv(c, buf, sizeof(buf), 0);
      if (n <= 0)
        break;
      request.append(buf, static_cast<size_t>(n));
    }
    return request;
  }

  std::string mBody;
  Mode mMode;
  std::chrono::milliseconds mLifetime;
  int mListen = -1;
  int mPort = 0;
  std::atomic<bool> mStop{false};
  std::atomic<int> mRequests{0};
  mutable std::mutex mLinesMutex;
  std::vector<std::string> mLines;
  std::thread mThread;
};

} // namespace testsupport
