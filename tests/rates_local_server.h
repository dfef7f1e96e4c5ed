#pragma once

// A real HTTP server on 127.0.0.1 in a background thread, recording every request as it
// arrived, for the exchange-rate query tests.

#include <httplib.h>

#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using HeaderMap = std::map<std::string, std::string>;

struct Seen {
    std::string target;
    HeaderMap headers;
};

// A server in a background thread that records every request it receives.
class LocalServer {
public:
    LocalServer() {
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // A stop before the accept loop runs would be missed, and join would never return.
        while (port_ > 0 && !server_.is_running())
            std::this_thread::yield();
    }
    ~LocalServer() {
        Release();
        server_.stop();
        thread_.join();
    }

    // handler answers every GET.
    void Answer(std::function<void(const httplib::Request&, httplib::Response&)> handler) {
        server_.Get(".*", [this, handler](const httplib::Request& req, httplib::Response& res) {
            Record(req);
            handler(req, res);
        });
    }

    int Port() const { return port_; }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

    std::vector<Seen> Requests() {
        std::lock_guard lock(mutex_);
        return seen_;
    }

    // Blocks a handler until the test ends, as a server that stopped answering would.
    void Hang() {
        std::unique_lock lock(mutex_);
        released_cv_.wait_for(lock, std::chrono::seconds(30), [this] { return released_; });
    }
    void Release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        released_cv_.notify_all();
    }

private:
    void Record(const httplib::Request& req) {
        Seen s{req.target, {}};
        for (const auto& [name, value] : req.headers)
            if (name.rfind("REMOTE_", 0) != 0 && name.rfind("LOCAL_", 0) != 0)
                s.headers.emplace(name, value);
        std::lock_guard lock(mutex_);
        seen_.push_back(std::move(s));
    }

    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable released_cv_;
    bool released_ = false;
    std::vector<Seen> seen_;
};

// Requests go straight to the local server whatever the environment says.
inline void ClearProxyEnvironment() {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"})
        unsetenv(name);
}
