// The simulator as a browser and an attacker's page meet it: over HTTP on
// 127.0.0.1, with its two phones running on a root of the test's own.

#include <gtest/gtest.h>

#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <condition_variable>
#include <mutex>
#include <regex>
#include <thread>

#include <foundation/NSDictionary.h>
#include <store/SettingsStore.h>

#include "ChildProcess.h"
#include "TestSupport.h"

namespace {

using namespace std::chrono_literals;

// What a page listening to /events has heard so far.
class EventListener {
public:
    explicit EventListener(int port)
        : m_client("127.0.0.1", port)
    {
        // Longer than the server's 15 s between keep-alives: a page does not
        // give up on a quiet stream, and a listener that did would free its place.
        m_client.set_read_timeout(60, 0);
        m_thread = std::thread([this] {
            m_client.Get("/events", [this](const char* data, std::size_t length) {
                std::lock_guard guard(m_lock);
                m_heard.append(data, length);
                m_changed.notify_all();
                return true;
            });
        });
    }
    ~EventListener()
    {
        m_client.stop();
        m_thread.join();
    }

    // Waits until the stream holds the text after what was found last time;
    // a guard against a hung test, not a measure of speed.
    std::optional<std::string> waitFor(const std::string& text)
    {
        std::unique_lock guard(m_lock);
        // The whole message: a picture arrives in several pieces.
        std::size_t found = std::string::npos, end = std::string::npos;
        m_changed.wait_for(guard, 30s, [&] {
            found = m_heard.find(text, m_searchFrom);
            end = found == std::string::npos ? found : m_heard.find("\n\n", found);
            return end != std::string::npos;
        });
        if (end == std::string::npos)
            return std::nullopt;
        std::string message = m_heard.substr(found, end - found);
        m_searchFrom = found + text.size();
        return message;
    }

private:
    httplib::Client m_client;
    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::string m_heard;
    std::size_t m_searchFrom { 0 };
};

class Simulator : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto made = runCommand(std::string(MENUTONE_COMMAND) + " root create '" + m_root.path().string() + "'");
        ASSERT_EQ(made.status, 0) << made.output;
        m_simulator
            = std::make_unique<ChildProcess>(std::vector<std::string> { MENUTONE_COMMAND, "simulator", "--root", m_root.path().string(), "--port", "0" });
        auto banner = m_simulator->readLineStartingWith("Menutone simulator: http://127.0.0.1:");
        ASSERT_TRUE(banner);
        m_port = std::stoi(banner->substr(std::strlen("Menutone simulator: http://127.0.0.1:")));
        m_client = std::make_unique<httplib::Client>("127.0.0.1", m_port);
    }

    std::string storeBytes() const
    {
        auto bytes = readBytes(m_root.hostPath(kMenutoneSettingsPath));
        return { bytes.begin(), bytes.end() };
    }

    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }

    TemporaryRoot m_root;
    std::unique_ptr<ChildProcess> m_simulator;
    std::unique_ptr<httplib::Client> m_client;
    int m_port { 0 };
};

int statusOf(const httplib::Result& result)
{
    return result ? result->status : -1;
}

// An element's middle, read off a frame's list of elements.
std::optional<std::pair<double, double>> middleOfElement(const std::string& frame, const std::string& id)
{
    std::smatch match;
    std::regex pattern("\"id\":\"" + id + "\"[^}]*\"frame\":\\{\"x\":([-0-9.]+),\"y\":([-0-9.]+),\"width\":([0-9.]+),\"height\":([0-9.]+)\\}");
    if (!std::regex_search(frame, match, pattern))
        return std::nullopt;
    return std::pair { std::stod(match[1]) + std::stod(match[3]) / 2, std::stod(match[2]) + std::stod(match[4]) / 2 };
}

// Sends the bytes on a connection of their own and reads the answer until the server closes it.
std::string rawExchange(int port, const std::string& bytes)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    timeval patience { 10, 0 };
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) >= 0) {
        ::shutdown(fd, SHUT_WR);
        char buffer[4096];
        for (ssize_t count; (count = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
            answer.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
    return answer;
}

// A connection of its own that sends its request slowly: a header line every
// two seconds, as a slowloris client does, until stopped.
class SlowClient {
public:
    explicit SlowClient(int port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            return;
        m_thread = std::thread([this, port] {
            std::string line = "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n";
            std::unique_lock guard(m_lock);
            for (int sent = 0; !m_isDone && sent < 60; ++sent) {
                if (::send(m_fd, line.data(), line.size(), MSG_NOSIGNAL) < 0)
                    return;
                line = "X-Slow-" + std::to_string(sent) + ": 1\r\n";
                m_stop.wait_for(guard, 2s, [&] { return m_isDone; });
            }
        });
    }
    ~SlowClient()
    {
        {
            std::lock_guard guard(m_lock);
            m_isDone = true;
        }
        m_stop.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_fd);
    }

private:
    int m_fd { -1 };
    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_stop;
    bool m_isDone { false };
};

// Sends a chunked POST of `total` bytes in 64 KiB chunks, stopping when the
// server stops reading, and answers the status line it gave.
std::string chunkedUpload(int port, const std::string& path, std::size_t total)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval patience { 10, 0 };
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::string head = "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port)
            + "\r\nContent-Type: application/x-plist\r\nTransfer-Encoding: chunked\r\n\r\n";
        bool isSending = ::send(fd, head.data(), head.size(), MSG_NOSIGNAL) > 0;
        std::string chunk = "10000\r\n" + std::string(0x10000, ' ') + "\r\n";
        for (std::size_t sent = 0; isSending && sent < total; sent += 0x10000)
            isSending = ::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(chunk.size());
        if (isSending)
            ::send(fd, "0\r\n\r\n", 5, MSG_NOSIGNAL);
        char buffer[4096];
        ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
        if (count > 0)
            answer.assign(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
    return answer.substr(0, answer.find("\r\n"));
}

std::string xmlStore(const std::string& entries)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\"><dict>"
        + entries + "</dict></plist>\n";
}

}

TEST_F(Simulator, AnswersOnlyItsOwnAddressAndChangesNothingForAnotherSite)
{
    auto page = m_client->Get("/");
    ASSERT_EQ(statusOf(page), 200);
    EXPECT_NE(page->body.find("<title>Menutone simulator</title>"), std::string::npos);

    // A name that resolves to this machine (DNS rebinding) is not this server's name.
    EXPECT_EQ(statusOf(m_client->Get("/", { { "Host", "attacker.example:" + std::to_string(m_port) } })), 403);
    EXPECT_EQ(statusOf(m_client->Get("/", { { "Host", "localhost:" + std::to_string(m_port) } })), 200) << "the name a person types";
    EXPECT_EQ(statusOf(m_client->Get("/store", { { "Host", "localhost:" + std::to_string(m_port + 1) } })), 403);
    // Another site's page may send, but not change anything.
    httplib::Headers foreign { { "Origin", "http://attacker.example" } };
    EXPECT_EQ(statusOf(m_client->Post("/store", foreign, xmlStore("<key>shortcutTitleColor</key><integer>25</integer>"), "application/x-plist")), 403);
    EXPECT_EQ(statusOf(m_client->Post("/touch?phone=home&type=down&x=57&y=58", foreign, "", "text/plain")), 403);
    EXPECT_FALSE(std::filesystem::exists(m_root.hostPath(kMenutoneSettingsPath)));
    // This page's own origin may.
    EXPECT_EQ(statusOf(m_client->Post("/scroll?phone=settings&dy=10", { { "Origin", "http://" + host() } }, "", "text/plain")), 204);

    for (const char* bad : { "/touch?phone=home&type=jump&x=1&y=1", "/touch?phone=oven&type=down&x=1&y=1", "/touch?phone=home&type=down&x=nan&y=1",
             "/touch?phone=home&type=up&x=1&y=1", "/scroll?phone=home&dy=1e300", "/activate?phone=home&id=a%0Aquit" }) {
        auto answer = m_client->Post(bad, "", "text/plain");
        EXPECT_EQ(statusOf(answer), 400) << bad;
        EXPECT_NE(answer->body.find("usage: POST"), std::string::npos) << bad;
    }
    EXPECT_EQ(statusOf(m_client->Get("/nothing")), 404);

    // Bytes that are no HTTP at all get a 4xx, and the server goes on.
    for (const std::string& garbage : { std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 16), std::string("GET\r\n\r\n"),
             "POST /store HTTP/1.1\r\nHost: " + host() + "\r\nContent-Length: -5\r\n\r\n" }) {
        std::string answer = rawExchange(m_port, garbage);
        EXPECT_TRUE(answer.empty() || answer.starts_with("HTTP/1.1 4")) << answer.substr(0, 40);
    }
    EXPECT_EQ(statusOf(m_client->Get("/")), 200);
}

TEST_F(Simulator, AnUploadIsReadByTheStoresReaderAndABadOneLeavesTheStoreAsItWas)
{
    auto first = m_client->Post("/store", xmlStore("<key>shortcutTitleColor</key><integer>25</integer>"), "application/x-plist");
    ASSERT_EQ(statusOf(first), 200) << (first ? first->body : "");
    std::string stored = storeBytes();
    ASSERT_FALSE(stored.empty());
    auto read = NSDictionary::dictionaryWithContentsOfHostFile(m_root.hostPath(kMenutoneSettingsPath));
    ASSERT_TRUE(read);
    ASSERT_TRUE(read->objectForKey("shortcutTitleColor"));
    EXPECT_EQ(read->objectForKey("shortcutTitleColor")->asInteger(), 25);

    auto tooLarge = m_client->Post("/store", std::string((1 << 20) + 1, ' '), "application/x-plist");
    EXPECT_EQ(statusOf(tooLarge), 413);
    EXPECT_NE(tooLarge->body.find("too large"), std::string::npos) << tooLarge->body;
    for (const std::string& bad : { std::string("not a property list"), std::string("bplist00\xff\xff", 10), xmlStore("<key>a</key>"),
             std::string("<plist version=\"1.0\"><array/></plist>") }) {
        auto answer = m_client->Post("/store", bad, "application/x-plist");
        EXPECT_EQ(statusOf(answer), 400) << bad;
        EXPECT_TRUE(answer->body.starts_with("not a settings store: ") && answer->body.ends_with("; the store was not changed\n")) << answer->body;
    }
    EXPECT_EQ(storeBytes(), stored);

    auto downloaded = m_client->Get("/store");
    ASSERT_EQ(statusOf(downloaded), 200);
    EXPECT_NE(downloaded->body.find("<key>shortcutTitleColor</key>"), std::string::npos) << downloaded->body;
    EXPECT_EQ(downloaded->get_header_value("Content-Disposition"), "attachment; filename=\"com.harbrook.Menutone.plist\"");
}

TEST_F(Simulator, AHeldIconOpensItsMenuAndAChangedStoreRestylesItWhileOpen)
{
    EventListener events(m_port);
    auto home = events.waitFor("{\"phone\":\"home\",\"frame\"");
    ASSERT_TRUE(home);
    auto photos = middleOfElement(*home, "icon:com.apple.mobileslideshow");
    ASSERT_TRUE(photos) << home->substr(0, 300);
    std::string at = "&x=" + std::to_string(photos->first) + "&y=" + std::to_string(photos->second);
    ASSERT_EQ(statusOf(m_client->Post("/touch?phone=home&type=down" + at, "", "text/plain")), 204);
    // The phone's own timers deepen the press while the finger stays.
    ASSERT_TRUE(events.waitFor("{\"phone\":\"home\",\"event\":\"menu com.apple.mobileslideshow\"}"));
    ASSERT_EQ(statusOf(m_client->Post("/touch?phone=home&type=up" + at + "&held=0.6", "", "text/plain")), 204);

    // The road a setting travels: Settings app, store, notification, tweak, menu.
    ASSERT_EQ(statusOf(m_client->Post("/store", xmlStore("<key>shortcutTitleColor</key><integer>25</integer>"), "application/x-plist")), 200);
    ASSERT_TRUE(events.waitFor("{\"phone\":\"home\",\"event\":\"menu com.apple.mobileslideshow\"}")) << "the open menu was built again";
    auto restyled = events.waitFor("{\"phone\":\"home\",\"frame\"");
    ASSERT_TRUE(restyled);
    EXPECT_TRUE(middleOfElement(*restyled, "item:0")) << "the menu's items are what a screen reader finds";

    ASSERT_EQ(statusOf(m_client->Post("/activate?phone=home&id=item:0", "", "text/plain")), 204);
    EXPECT_TRUE(events.waitFor("{\"phone\":\"home\",\"event\":\"shortcut com.apple.photos.most-recent\"}"));
}

TEST_F(Simulator, TheHomeButtonClosesAnOpenMenuAndTakesSettingsBackToItsFirstScreen)
{
    EventListener events(m_port);
    auto home = events.waitFor("{\"phone\":\"home\",\"frame\"");
    ASSERT_TRUE(home);
    auto photos = middleOfElement(*home, "icon:com.apple.mobileslideshow");
    ASSERT_TRUE(photos);
    std::string at = "&x=" + std::to_string(photos->first) + "&y=" + std::to_string(photos->second);
    ASSERT_EQ(statusOf(m_client->Post("/touch?phone=home&type=down" + at, "", "text/plain")), 204);
    ASSERT_TRUE(events.waitFor("{\"phone\":\"home\",\"event\":\"menu com.apple.mobileslideshow\"}"));
    ASSERT_EQ(statusOf(m_client->Post("/touch?phone=home&type=up" + at + "&held=0.6", "", "text/plain")), 204);
    ASSERT_EQ(statusOf(m_client->Post("/home?phone=home", "", "text/plain")), 204);
    EXPECT_TRUE(events.waitFor("{\"phone\":\"home\",\"event\":\"closed\"}"));

    // Settings: a screen in (its first picture came long ago), then home.
    ASSERT_EQ(statusOf(m_client->Post("/activate?phone=settings&id=row:1:0", "", "text/plain")), 204);
    ASSERT_TRUE(events.waitFor("{\"phone\":\"settings\",\"frame\""));
    ASSERT_EQ(statusOf(m_client->Post("/home?phone=settings", "", "text/plain")), 204);
    // The settled picture after the immediate one: the Settings list, its one entry.
    std::optional<std::string> list;
    while ((list = events.waitFor("{\"phone\":\"settings\",\"frame\"")) && list->find("\"id\":\"row:0:0\",\"name\":\"Menutone\"") == std::string::npos)
        ;
    EXPECT_TRUE(list) << "no picture of the Settings list";
    EXPECT_EQ(statusOf(m_client->Post("/home?phone=oven", "", "text/plain")), 400);
}

TEST_F(Simulator, CtrlCEndsItAndItsPhonesWhileAPageListensAndLeavesNothingInTheRoot)
{
    EventListener events(m_port);
    ASSERT_TRUE(events.waitFor("{\"phone\":\"home\",\"frame\""));
    ASSERT_TRUE(std::filesystem::exists(m_root.path() / "var/run/SpringBoard.pid"));
    m_simulator->signalGroup(SIGINT);
    EXPECT_EQ(m_simulator->waitForExit(), 0);
    std::vector<std::string> left;
    for (auto& entry : std::filesystem::directory_iterator(m_root.path() / "var/run"))
        if (entry.path().filename() != "cfprefsd.lock") // an empty lock file, as cfprefsd keeps
            left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string> { "notify" }) << "the home screen gave back its pid file";
}

// A photo goes to the Settings phone, which reads it with the bounded image
// readers: a bad one, a huge one or a built-in name that is none leaves the
// wallpaper as it was.
TEST_F(Simulator, AWallpaperUploadIsReadByTheImageReadersAndABadOneKeepsTheOldWallpaper)
{
    const std::string magentaPNG(
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02\x08\x02\x00\x00\x00\xfd\xd4\x9a"
        "\x73\x00\x00\x00\x10\x49\x44\x41\x54\x78\x9c\x63\x38\xc1\x70\x02\x88\x18\x20\x14\x00\x2b\xce\x06\x41\xeb\xee\xf6\x08\x00\x00"
        "\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
        73);
    auto wallpaperBytes = [&] { return readBytes(m_root.path() / "var/mobile/Library/SpringBoard/HomeBackground.jpg"); };
    auto photo = m_client->Post("/wallpaper", magentaPNG, "image/png");
    ASSERT_EQ(statusOf(photo), 200) << (photo ? photo->body : "");
    EXPECT_EQ(photo->body, "the wallpaper is your photo\n");
    auto kept = wallpaperBytes();
    ASSERT_FALSE(kept.empty());

    for (const std::string& bad : { std::string("not a picture"), magentaPNG.substr(0, 40), std::string("\xff\xd8\xff\xe0\x00\x10JFIF", 10) }) {
        auto answer = m_client->Post("/wallpaper", bad, "image/jpeg");
        EXPECT_EQ(statusOf(answer), 400);
        EXPECT_TRUE(answer && answer->body.ends_with("; the wallpaper was not changed\n")) << (answer ? answer->body : "");
    }
    EXPECT_EQ(chunkedUpload(m_port, "/wallpaper", 40 << 20), "HTTP/1.1 413 Payload Too Large");
    EXPECT_EQ(statusOf(m_client->Post("/wallpaper?name=..%2F..%2Fetc", "", "text/plain")), 400);
    EXPECT_EQ(wallpaperBytes(), kept);
    EXPECT_EQ(entryCount(m_root.path() / "var/tmp"), 0u) << "no upload left staged";

    auto builtIn = m_client->Post("/wallpaper?name=Dusk", "", "text/plain");
    ASSERT_EQ(statusOf(builtIn), 200) << (builtIn ? builtIn->body : "");
    EXPECT_NE(wallpaperBytes(), kept);
}

TEST_F(Simulator, RequestsNamingNoPhoneModelOrElementAreRefused)
{
    for (const char* path : { "/device?name=iphone-x", "/device", "/press?phone=home&id=", "/press?phone=watch&id=icon:a", "/activate?phone=home" })
        EXPECT_EQ(statusOf(m_client->Post(path, "", "text/plain")), 400) << path;
    EXPECT_EQ(statusOf(m_client->Post("/device?name=6s", "", "text/plain")), 204) << "the model it runs: nothing to do";
}

// A chunked body has no declared length: the upload counts what it reads
// and stops at the limit; no other request may send one.
TEST_F(Simulator, AChunkedUploadIsHeldToTheLimitAndLeavesTheStoreAsItWas)
{
    ASSERT_EQ(statusOf(m_client->Post("/store", xmlStore("<key>shortcutTitleColor</key><integer>25</integer>"), "application/x-plist")), 200);
    std::string stored = storeBytes();
    EXPECT_EQ(chunkedUpload(m_port, "/store", 20 << 20), "HTTP/1.1 413 Payload Too Large");
    EXPECT_EQ(chunkedUpload(m_port, "/touch?phone=home&type=down&x=1&y=1", 1 << 20), "HTTP/1.1 411 Length Required");
    EXPECT_EQ(storeBytes(), stored);
    EXPECT_EQ(entryCount(m_root.path() / "var/tmp"), 0u) << "no upload left staged";
    EXPECT_EQ(statusOf(m_client->Get("/")), 200);
}

// Pages that listen and clients that send slowly each hold a connection;
// none of them keeps the page from loading or a store from being taken, and
// Ctrl-C still ends it.
TEST_F(Simulator, ListenersAndSlowClientsNeitherFreezeItNorKeepItFromStopping)
{
    std::vector<std::unique_ptr<EventListener>> listeners;
    for (int i = 0; i < 16; ++i)
        listeners.push_back(std::make_unique<EventListener>(m_port));
    for (auto& listener : listeners) // each connects in its own thread: all are in once each has heard
        ASSERT_TRUE(listener->waitFor("{\"phone\":\"home\",\"frame\""));
    std::vector<std::unique_ptr<SlowClient>> slow;
    for (int i = 0; i < 8; ++i)
        slow.push_back(std::make_unique<SlowClient>(m_port));
    m_client->set_read_timeout(20, 0);
    EXPECT_EQ(statusOf(m_client->Get("/")), 200);
    EXPECT_EQ(statusOf(m_client->Post("/store", xmlStore("<key>shortcutTitleColor</key><integer>25</integer>"), "application/x-plist")), 200);
    EXPECT_TRUE(listeners.front()->waitFor("{\"phone\":\"settings\",\"frame\""));

    // Past the listeners it takes, a page is told to come back later.
    for (int i = 16; i < 32; ++i)
        listeners.push_back(std::make_unique<EventListener>(m_port));
    for (int i = 16; i < 32; ++i)
        ASSERT_TRUE(listeners[static_cast<std::size_t>(i)]->waitFor("{\"phone\":\"home\",\"frame\""));
    // Read no further than the status: a stream let in would never end.
    int status = 0;
    m_client->Get(
        "/events",
        [&](const httplib::Response& response) {
            status = response.status;
            return false;
        },
        [](const char*, std::size_t) { return false; });
    EXPECT_EQ(status, 503);

    m_simulator->signalGroup(SIGINT);
    EXPECT_EQ(m_simulator->waitForExit(), 0);
}

// A port and a root each take one simulator; the second is told why.
TEST_F(Simulator, ASecondSimulatorOnTheSamePortOrRootIsRefused)
{
    TemporaryRoot otherRoot;
    ASSERT_EQ(runCommand(std::string(MENUTONE_COMMAND) + " root create '" + otherRoot.path().string() + "'").status, 0);
    auto samePort = runCommand(std::string(MENUTONE_COMMAND) + " simulator --root '" + otherRoot.path().string() + "' --port " + std::to_string(m_port));
    EXPECT_EQ(samePort.status, 1);
    EXPECT_NE(samePort.output.find("port " + std::to_string(m_port) + " is in use"), std::string::npos) << samePort.output;
    auto sameRoot = runCommand(std::string(MENUTONE_COMMAND) + " simulator --root '" + m_root.path().string() + "' --port 0");
    EXPECT_EQ(sameRoot.status, 1);
    EXPECT_NE(sameRoot.output.find("a simulator (pid " + std::to_string(m_simulator->pid()) + ") already runs on this root"), std::string::npos)
        << sameRoot.output;
    EXPECT_EQ(statusOf(m_client->Get("/")), 200) << "the first goes on";
}

// An upload staged by a server killed midway is cleared when the next one starts.
TEST(SimulatorStart, ClearsTheUploadAKilledServerLeftInTheRoot)
{
    TemporaryRoot root;
    ASSERT_EQ(runCommand(std::string(MENUTONE_COMMAND) + " root create '" + root.path().string() + "'").status, 0);
    std::filesystem::create_directories(root.path() / "var/tmp");
    // pid_max is at most 4194304: no process has this number.
    writeBytes(root.path() / "var/tmp/.upload-99999999", std::string(1 << 20, 'x'));
    ChildProcess simulator({ MENUTONE_COMMAND, "simulator", "--root", root.path().string(), "--port", "0" });
    ASSERT_TRUE(simulator.readLineStartingWith("Menutone simulator: http://127.0.0.1:"));
    EXPECT_EQ(entryCount(root.path() / "var/tmp"), 0u);
    simulator.signalGroup(SIGINT);
    EXPECT_EQ(simulator.waitForExit(), 0);
}
