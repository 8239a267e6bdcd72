#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace vo::test
{

namespace
{
constexpr int kPollMs = 20;
constexpr std::size_t kMaxHeadBytes = 64 * 1024;

sockaddr_in loopbackAddress (int port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons ((uint16_t) port);
    address.sin_addr.s_addr = htonl (INADDR_LOOPBACK);
    return address;
}

int bindLoopback (int& port)
{
    const int fd = ::socket (AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        throw std::runtime_error ("socket failed");

    int yes = 1;
    ::setsockopt (fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof (yes));

    auto address = loopbackAddress (0);
    if (::bind (fd, reinterpret_cast<sockaddr*> (&address), sizeof (address)) != 0)
        throw std::runtime_error ("bind failed");

    socklen_t length = sizeof (address);
    ::getsockname (fd, reinterpret_cast<sockaddr*> (&address), &length);
    port = ntohs (address.sin_port);
    return fd;
}

bool waitFor (int fd, short events, int timeoutMs)
{
    pollfd entry { fd, events, 0 };
    return ::poll (&entry, 1, timeoutMs) > 0;
}

std::string reasonFor (int status)
{
    switch (status)
    {
        case 200: return "OK";
        case 301: return "Moved Permanently";
        case 302: return "Found";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        default:  return "Status";
    }
}

std::string lower (std::string text)
{
    std::transform (text.begin(), text.end(), text.begin(), [] (unsigned char c) { return (char) std::tolower (c); });
    return text;
}
} // namespace

LoopbackServer::LoopbackServer()
{
    listener = bindLoopback (boundPort);
    ::listen (listener, 8);
    worker = std::thread ([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer()
{
    stopping = true;
    worker.join();
    ::close (listener);
}

std::string LoopbackServer::url (const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string (boundPort) + path;
}

void LoopbackServer::serve (const std::string& path, Response response)
{
    const std::lock_guard<std::mutex> guard (lock);
    routes[path] = std::move (response);
}

void LoopbackServer::serveRedirect (const std::string& path, const std::string& location, int status)
{
    Response response;
    response.status = status;
    response.headers.emplace_back ("Location", location);
    serve (path, std::move (response));
}

std::vector<std::string> LoopbackServer::requests() const
{
    const std::lock_guard<std::mutex> guard (lock);
    return received;
}

std::size_t LoopbackServer::requestCount() const
{
    const std::lock_guard<std::mutex> guard (lock);
    return received.size();
}

int LoopbackServer::closedPort()
{
    int port = 0;
    const int fd = bindLoopback (port);
    ::close (fd);
    return port;
}

void LoopbackServer::acceptLoop()
{
    while (! stopping)
    {
        if (! waitFor (listener, POLLIN, kPollMs))
            continue;

        const int client = ::accept (listener, nullptr, nullptr);
        if (client < 0)
            continue;

        handle (client);
        ::close (client);
    }
}

void LoopbackServer::handle (int client)
{
    std::string head;
    if (! readHead (client, head))
        return;

    const auto pathStart = head.find (' ') + 1;
    const auto path = head.substr (pathStart, head.find (' ', pathStart) - pathStart);

    Response response;
    response.status = 404;
    response.body = "not here";
    {
        const std::lock_guard<std::mutex> guard (lock);
        received.push_back (head);
        if (const auto found = routes.find (path); found != routes.end())
            response = found->second;
    }

    if (response.neverAnswer)
        return waitUntilStopped (client);

    std::string bytes = "HTTP/1.1 " + std::to_string (response.status) + " " + reasonFor (response.status) + "\r\n"
                      + "Content-Length: " + std::to_string (response.body.size()) + "\r\n"
                      + "Content-Type: application/json\r\nConnection: close\r\n";
    for (const auto& [name, value] : response.headers)
        bytes += name + ": " + value + "\r\n";
    bytes += "\r\n" + response.body;

    sendAll (client, bytes);
    ::shutdown (client, SHUT_WR);

    // Let the client finish reading before the socket goes away.
    char sink[4096];
    while (! stopping && waitFor (client, POLLIN, 1000) && ::recv (client, sink, sizeof (sink), 0) > 0)
    {
    }
}

bool LoopbackServer::readHead (int client, std::string& head)
{
    char chunk[4096];

    while (! stopping && head.find ("\r\n\r\n") == std::string::npos && head.size() < kMaxHeadBytes)
    {
        if (! waitFor (client, POLLIN, kPollMs))
            continue;

        const auto got = ::recv (client, chunk, sizeof (chunk), 0);
        if (got <= 0)
            return false;

        head.append (chunk, (std::size_t) got);
    }

    return head.find ("\r\n\r\n") != std::string::npos;
}

void LoopbackServer::sendAll (int client, const std::string& bytes)
{
    std::size_t sent = 0;

    while (! stopping && sent < bytes.size())
    {
        if (! waitFor (client, POLLOUT, kPollMs))
            continue;

        const auto wrote = ::send (client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (wrote <= 0)
            return;

        sent += (std::size_t) wrote;
    }
}

void LoopbackServer::waitUntilStopped (int client)
{
    char sink[256];

    while (! stopping)
        if (waitFor (client, POLLIN, kPollMs) && ::recv (client, sink, sizeof (sink), 0) <= 0)
            return;
}

std::string headerValue (const std::string& head, const std::string& name)
{
    const auto wanted = "\r\n" + lower (name) + ":";
    const auto lowered = lower (head);
    const auto at = lowered.find (wanted);
    if (at == std::string::npos)
        return {};

    const auto valueStart = head.find_first_not_of (' ', at + wanted.size());
    return head.substr (valueStart, head.find ("\r\n", valueStart) - valueStart);
}

} // namespace vo::test
