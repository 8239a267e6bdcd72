#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vo::test
{

// A tiny HTTP/1.1 server on 127.0.0.1 with an ephemeral port, serving canned
// responses by path, one connection at a time. Unknown paths get 404.
class LoopbackServer
{
public:
    struct Response
    {
        int status = 200;
        std::string body;
        std::vector<std::pair<std::string, std::string>> headers;
        bool neverAnswer = false; // read the request, then keep the connection silent
    };

    LoopbackServer();
    ~LoopbackServer();

    LoopbackServer (const LoopbackServer&) = delete;
    LoopbackServer& operator= (const LoopbackServer&) = delete;

    int port() const { return boundPort; }
    std::string url (const std::string& path) const;

    void serve (const std::string& path, Response response);
    void serveRedirect (const std::string& path, const std::string& location, int status = 302);

    // The request heads received so far, in order.
    std::vector<std::string> requests() const;
    std::size_t requestCount() const;

    // A port on which nothing listens (bound once, then released).
    static int closedPort();

private:
    void acceptLoop();
    void handle (int client);
    bool readHead (int client, std::string& head);
    void sendAll (int client, const std::string& bytes);
    void waitUntilStopped (int client);

    int listener = -1;
    int boundPort = 0;
    std::atomic<bool> stopping { false };
    mutable std::mutex lock;
    std::map<std::string, Response> routes;
    std::vector<std::string> received;
    std::thread worker;
};

// The value of one header line in a request head, or empty.
std::string headerValue (const std::string& head, const std::string& name);

} // namespace vo::test
