#include "Simulator.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <httplib.h>

#include <device/DeviceRoot.h>
#include <foundation/NSDictionary.h>
#include <foundation/PropertyListSerialization.h>
#include <springboard/SBWallpaper.h>
#include <store/SettingsStore.h>
#include <uikit/UIGraphics.h>

#include "PhoneProcess.h"
#include "ServerConnections.h"
#include "phones/PhoneProtocol.h"
#include <common/JSON.h>

namespace {

// An upload larger than this is no settings store.
constexpr std::size_t maximumStoreBytes = 1 << 20;
// A phone's photo, as a camera makes it: HEIC and JPEG stay well below this.
constexpr std::size_t maximumPhotoBytes = 32 << 20;
// Where uploads wait for the Settings app, inside the root.
constexpr const char* uploadFolder = "/var/tmp";

// The root's simulator lock, held while this simulator runs: a file in the
// root with the holder's pid, locked with flock so that a killed holder lets
// go. None (said on stderr) when another simulator holds it.
std::optional<device::FileDescriptor> lockRootForSimulator()
{
    DeviceRoot root = DeviceRoot::current();
    const char* path = "/var/run/menutone-simulator.lock";
    root.createFolders("/var/run");
    device::FileDescriptor file = root.open(path, O_RDWR | O_CREAT | O_NOFOLLOW, 0644);
    if (!file.isValid()) {
        std::cerr << "menutone: simulator: cannot lock the root " << root.hostFolder().string() << ": " << std::strerror(errno) << "\n";
        return std::nullopt;
    }
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        char text[32] {};
        [[maybe_unused]] auto count = ::pread(file.get(), text, sizeof text - 1, 0);
        std::cerr << "menutone: simulator: a simulator (pid " << std::atol(text) << ") already runs on this root\n";
        return std::nullopt;
    }
    std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(file.get(), 0) != 0 || ::pwrite(file.get(), pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size()))
        return std::nullopt;
    return file;
}

// Server-sent events to every page that listens, the latest frame of each
// phone first to a page that just came.
class Broadcaster {
public:
    struct Client {
        std::mutex lock;
        std::condition_variable ready;
        std::deque<std::string> messages;
        std::atomic<bool> isClosed { false }; // also set by the server when the page goes
    };

    // Pages listening at once: each holds a connection for as long as it stays.
    static constexpr std::size_t maximumListeners = 32;

    // A new listener, or none when there are as many as may be.
    std::shared_ptr<Client> connect()
    {
        auto client = std::make_shared<Client>();
        std::lock_guard guard(m_lock);
        std::erase_if(m_clients, [](auto& listening) { return listening->isClosed.load(); });
        // None once the server is stopping: a listener that came after
        // closeAll() would wait on its own past the stop.
        if (m_isClosed || m_clients.size() >= maximumListeners)
            return nullptr;
        for (auto& [phone, frame] : m_latestFrames)
            client->messages.push_back(frame);
        m_clients.push_back(client);
        return client;
    }

    void send(const std::string& event, const std::string& data, const std::string& phone = {})
    {
        std::string message = "event: " + event + "\ndata: " + data + "\n\n";
        std::lock_guard guard(m_lock);
        if (event == "frame")
            m_latestFrames[phone] = message;
        std::erase_if(m_clients, [](auto& client) { return client->isClosed.load(); });
        for (auto& client : m_clients) {
            std::lock_guard clientGuard(client->lock);
            // A page that stopped reading keeps only the latest pictures.
            if (client->messages.size() > 64)
                client->messages.pop_front();
            client->messages.push_back(message);
            client->ready.notify_one();
        }
    }

    void closeAll()
    {
        std::lock_guard guard(m_lock);
        m_isClosed = true;
        for (auto& client : m_clients) {
            std::lock_guard clientGuard(client->lock);
            client->isClosed = true;
            client->ready.notify_one();
        }
    }

private:
    std::mutex m_lock;
    std::vector<std::shared_ptr<Client>> m_clients;
    std::map<std::string, std::string> m_latestFrames;
    bool m_isClosed { false };
};

// The answers a phone gives to commands that wait for one (an import, a
// wallpaper), by command: one of each is asked at a time.
class Answers {
public:
    void expect(const std::string& command)
    {
        std::lock_guard guard(m_lock);
        m_answers.erase(command);
    }
    void give(const std::string& command, std::string answer)
    {
        std::lock_guard guard(m_lock);
        m_answers[command] = std::move(answer);
        m_ready.notify_all();
    }
    std::optional<std::string> wait(const std::string& command, std::chrono::seconds timeout)
    {
        std::unique_lock guard(m_lock);
        m_ready.wait_for(guard, timeout, [&] { return m_answers.contains(command); });
        if (auto found = m_answers.find(command); found != m_answers.end())
            return found->second;
        return std::nullopt;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_ready;
    std::map<std::string, std::string> m_answers;
};

// Starts a phone again when it ends on its own (a crash, a kill), after a
// pause that grows while it keeps ending, and tells the pages: "restarting",
// or "failed" once it has ended five times in a minute.
class PhoneRestarter {
public:
    using Say = std::function<void(const std::string& phone, const std::string& state)>;

    explicit PhoneRestarter(Say say)
        : m_say(std::move(say))
        , m_thread([this] { run(); })
    {
    }
    ~PhoneRestarter() { stop(); }

    void watch(PhoneProcess& phone, const std::string& name)
    {
        phone.setExitHandler([this, &phone, name] {
            std::lock_guard guard(m_lock);
            m_ended.push_back({ &phone, name });
            m_changed.notify_all();
        });
    }

    void stop()
    {
        {
            std::lock_guard guard(m_lock);
            m_isStopping = true;
            m_changed.notify_all();
        }
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    void run()
    {
        std::unique_lock guard(m_lock);
        while (true) {
            m_changed.wait(guard, [&] { return m_isStopping || !m_ended.empty(); });
            if (m_isStopping)
                return;
            auto [phone, name] = m_ended.front();
            m_ended.pop_front();
            auto now = std::chrono::steady_clock::now();
            auto& ends = m_recentEnds[name];
            std::erase_if(ends, [&](auto at) { return now - at > std::chrono::minutes(1); });
            ends.push_back(now);
            if (ends.size() > 5) {
                m_say(name, "failed");
                continue;
            }
            m_say(name, "restarting");
            // 0.25 s, then twice as long each time it ends again within the minute.
            if (m_changed.wait_for(guard, std::chrono::milliseconds(250 << (ends.size() - 1)), [&] { return m_isStopping; }))
                return;
            guard.unlock();
            if (auto error = phone->restart(); !error.empty())
                m_say(name, "failed");
            guard.lock();
        }
    }

    Say m_say;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::pair<PhoneProcess*, std::string>> m_ended;
    std::map<std::string, std::vector<std::chrono::steady_clock::time_point>> m_recentEnds;
    bool m_isStopping { false };
    std::thread m_thread;
};

// Ctrl-C, carried from the signal handler to a thread that may take locks.
int stopPipe[2] = { -1, -1 };

void stopOnSignal(int)
{
    char byte = 1;
    [[maybe_unused]] auto written = ::write(stopPipe[1], &byte, 1);
}

bool isNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && !*end && std::isfinite(value) && std::fabs(value) < 1e6;
}

std::string numberText(double value)
{
    return shortestDecimal(value);
}

}

ExitStatus runSimulator(const SimulatorOptions& options)
{
    // One simulator a root: two would run two home screens on one store.
    auto lock = lockRootForSimulator();
    if (!lock)
        return ExitStatus::Failure;
    httplib::Server server;
    int port = bindExclusively(server, options.port);
    if (port <= 0) {
        if (errno == EADDRINUSE)
            std::cerr << "menutone: simulator: port " << options.port << " is in use (--port 0 picks a free port)\n";
        else
            std::cerr << "menutone: simulator: cannot listen on 127.0.0.1:" << options.port << ": " << std::strerror(errno) << "\n";
        return ExitStatus::Failure;
    }
    server.new_task_queue = [port] { return new ConnectionThreads(port); };
    // A client gets a few seconds for each read, and a stop ends every connection.
    server.set_read_timeout(3, 0);
    server.set_write_timeout(3, 0);
    const std::string host = "127.0.0.1:" + std::to_string(port);
    const std::string hostByName = "localhost:" + std::to_string(port);
    const std::string origin = "http://" + host;
    const std::string originByName = "http://" + hostByName;
    DeviceRoot root = DeviceRoot::current();
    std::string rootFolder = root.hostFolder().string();

    Broadcaster broadcaster;
    Answers answers;
    // Made before the phones, so it outlives their reader threads, which call
    // it; stopped before they are, so it restarts nothing while they stop.
    PhoneRestarter restarter([&](const std::string& phone, const std::string& state) {
        broadcaster.send("phone", jsonText({ { "phone", phone }, { "state", state } }));
    });
    PhoneProcess settings, springBoard;
    struct StopRestartingFirst {
        PhoneRestarter& restarter;
        ~StopRestartingFirst() { restarter.stop(); }
    } stopRestartingFirst { restarter };
    // Each line is read once into a message; the Settings app's answer to an
    // upload goes back with the upload's own response, not to every page.
    auto relay = [&](const std::string& phone) {
        return [&, phone](const std::string& line) {
            auto message = readPhoneMessage(line);
            if (!message)
                return;
            // The page is told which phone spoke: {"phone":P, ...the phone's own keys}.
            auto fromPhone = [&] { return "{\"phone\":" + jsonText(phone) + "," + message->object.substr(1); };
            switch (message->kind) {
            case PhoneMessage::Kind::Frame:
                broadcaster.send("frame", fromPhone(), phone);
                break;
            case PhoneMessage::Kind::Event:
                broadcaster.send("event", fromPhone());
                break;
            case PhoneMessage::Kind::Error:
                broadcaster.send("failure", fromPhone());
                break;
            case PhoneMessage::Kind::Reply:
                if (phone == "settings")
                    answers.give(message->replyTo, message->replyError.value_or(""));
                break;
            }
        };
    };
    restarter.watch(springBoard, "home");
    restarter.watch(settings, "settings");
    // Both phones are the same model; the page may choose another.
    std::mutex deviceLock;
    std::string device = deviceDescription(UIScreen::mainScreen().device()).optionName;
    auto phoneArguments = [&](const char* host) { return std::vector<std::string> { host, "--serve", "--root", rootFolder, "--device", device }; };
    if (auto error = springBoard.start(phoneArguments("springboard"), relay("home")); !error.empty()) {
        std::cerr << "menutone: simulator: cannot start the home screen: " << error << "\n";
        return ExitStatus::Failure;
    }
    if (auto error = settings.start(phoneArguments("settings"), relay("settings")); !error.empty()) {
        std::cerr << "menutone: simulator: cannot start the Settings app: " << error << "\n";
        return ExitStatus::Failure;
    }
    auto phoneNamed = [&](const std::string& name) -> PhoneProcess* { return name == "settings" ? &settings : name == "home" ? &springBoard : nullptr; };

    server.set_payload_max_length(maximumPhotoBytes);
    // Only the address printed, so another site's page cannot reach in by a
    // name that resolves here (DNS rebinding); and no other site's page may
    // change anything.
    server.set_pre_routing_handler([&](const httplib::Request& request, httplib::Response& response) {
        std::string requestHost = request.get_header_value("Host");
        if (requestHost != host && requestHost != hostByName) {
            response.status = 403;
            response.set_content("forbidden: this server answers only to " + host + " and " + hostByName + "\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (request.method != "GET" && request.has_header("Origin") && request.get_header_value("Origin") != origin
            && request.get_header_value("Origin") != originByName) {
            response.status = 403;
            response.set_content("forbidden: a request from another site\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        // A chunked body has no length to check before it is read: only the
        // upload, which counts what it reads, may have one.
        bool isUpload = request.method == "POST" && (request.path == "/store" || request.path == "/wallpaper");
        if (request.has_header("Transfer-Encoding") && !isUpload) {
            response.status = 411;
            response.set_header("Connection", "close");
            response.set_content("length required: only an upload may be sent in chunks\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty())
            response.set_content(
                response.status == 413 ? "too large: uploads are at most " + std::to_string(maximumPhotoBytes >> 20) + " MiB\n" : "bad request\n",
                "text/plain");
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
        response.status = 500;
        response.set_content("internal error\n", "text/plain");
    });

    server.Get("/", [&](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        std::lock_guard guard(deviceLock);
        response.set_content(simulatorPage(device), "text/html; charset=utf-8");
    });
    // Another phone model for both phones: ?name=6s|6s-plus. Each starts
    // again on it, and every page hears which it is.
    server.Post("/device", [&](const httplib::Request& request, httplib::Response& response) {
        std::string name = request.get_param_value("name");
        if (std::ranges::none_of(kDevices, [&](auto& known) { return name == known.optionName; })) {
            response.status = 400;
            response.set_content("usage: POST /device?name=6s|6s-plus\n", "text/plain");
            return;
        }
        std::lock_guard guard(deviceLock);
        if (name != device) {
            device = name;
            for (auto [phone, host] : { std::pair(&springBoard, "springboard"), std::pair(&settings, "settings") }) {
                if (auto error = phone->restartWith(phoneArguments(host)); !error.empty()) {
                    response.status = 500;
                    response.set_content("cannot start the phones again: " + error + "\n", "text/plain");
                    return;
                }
            }
            broadcaster.send("device", jsonText({ { "device", device } }));
        }
        response.status = 204;
    });
    server.Get("/events", [&](const httplib::Request&, httplib::Response& response) {
        auto client = broadcaster.connect();
        response.set_header("Cache-Control", "no-store");
        if (!client) {
            response.status = 503;
            response.set_header("Retry-After", "5");
            response.set_content("too many pages are listening: close one\n", "text/plain");
            return;
        }
        response.set_chunked_content_provider(
            "text/event-stream",
            [client](std::size_t, httplib::DataSink& sink) {
                std::unique_lock guard(client->lock);
                client->ready.wait_for(guard, std::chrono::seconds(15), [&] { return !client->messages.empty() || client->isClosed; });
                if (client->isClosed)
                    return false;
                if (client->messages.empty())
                    return sink.write(": keep-alive\n\n", 15);
                while (!client->messages.empty()) {
                    std::string message = std::move(client->messages.front());
                    client->messages.pop_front();
                    if (!sink.write(message.data(), message.size())) {
                        client->isClosed = true;
                        return false;
                    }
                }
                return true;
            },
            [client](bool) { client->isClosed = true; });
    });
    // A finger: ?phone=settings|home&type=down|move|up&x=&y=&held= (points, seconds).
    server.Post("/touch", [&](const httplib::Request& request, httplib::Response& response) {
        auto* phone = phoneNamed(request.get_param_value("phone"));
        std::string type = request.get_param_value("type");
        double x = 0, y = 0, held = 0;
        if (!phone || (type != "down" && type != "move" && type != "up") || !isNumber(request.get_param_value("x"), x)
            || !isNumber(request.get_param_value("y"), y) || (type != "down" && !isNumber(request.get_param_value("held"), held))) {
            response.status = 400;
            response.set_content("usage: POST /touch?phone=settings|home&type=down|move|up&x=X&y=Y&held=SECONDS\n", "text/plain");
            return;
        }
        phone->send(type + " " + numberText(x) + " " + numberText(y) + (type == "down" ? "" : " " + numberText(held)));
        response.status = 204;
    });
    server.Post("/scroll", [&](const httplib::Request& request, httplib::Response& response) {
        auto* phone = phoneNamed(request.get_param_value("phone"));
        double dy = 0;
        if (!phone || !isNumber(request.get_param_value("dy"), dy)) {
            response.status = 400;
            response.set_content("usage: POST /scroll?phone=settings|home&dy=POINTS\n", "text/plain");
            return;
        }
        phone->send("scroll " + numberText(dy));
        response.status = 204;
    });
    // An element by its id: activated (a click without a pointer), or
    // pressed fully (the keyboard's menu key on an app).
    for (const char* verb : { "activate", "press" }) {
        server.Post(std::string("/") + verb, [&, verb](const httplib::Request& request, httplib::Response& response) {
            auto* phone = phoneNamed(request.get_param_value("phone"));
            std::string element = request.get_param_value("id");
            bool isPlain = !element.empty() && element.size() < 200 && element.find_first_of("\r\n") == std::string::npos;
            if (!phone || !isPlain) {
                response.status = 400;
                response.set_content(std::string("usage: POST /") + verb + "?phone=settings|home&id=ELEMENT\n", "text/plain");
                return;
            }
            phone->send(std::string(verb) + " " + element);
            response.status = 204;
        });
    }
    // The open menu's colours (or Mail's) chosen to read on its plate and echo
    // the wallpaper: the home screen writes them as `theme suggest --apply` does.
    server.Post("/match", [&](const httplib::Request&, httplib::Response& response) {
        springBoard.send("match");
        response.status = 204;
    });
    // The phone's home button: ?phone=settings|home.
    server.Post("/home", [&](const httplib::Request& request, httplib::Response& response) {
        auto* phone = phoneNamed(request.get_param_value("phone"));
        if (!phone) {
            response.status = 400;
            response.set_content("usage: POST /home?phone=settings|home\n", "text/plain");
            return;
        }
        phone->send("home");
        response.status = 204;
    });
    // The store as an XML property list, to copy to a device.
    server.Get("/store", [&](const httplib::Request&, httplib::Response& response) {
        auto store = NSDictionary::dictionaryWithContentsOfFile(kMenutoneSettingsPath);
        if (!store) {
            response.status = 404;
            response.set_content("no settings store yet: change a setting first\n", "text/plain");
            return;
        }
        auto xml = PropertyListSerialization::dataWithPropertyList(store->propertyList(), PropertyListFormat::XML);
        if (!xml) {
            response.status = 500;
            response.set_content("the store cannot be written as XML\n", "text/plain");
            return;
        }
        response.set_header("Content-Disposition", "attachment; filename=\"com.harbrook.Menutone.plist\"");
        response.set_content(std::string(xml->begin(), xml->end()), "application/x-plist");
    });
    // Uploads go to the Settings app, which reads them with its own bounded
    // readers, refuses a bad one (what it had untouched) and keeps a good one.
    std::mutex uploadLock;
    constexpr const char* uploadScratch = ".upload";
    root.createFolders(uploadFolder);
    root.removeAbandonedScratch(uploadFolder, uploadScratch);
    // Asks the Settings app `command argument` and waits for its answer: none
    // when it gives none in time, empty when done, else why not.
    auto askSettings = [&](const std::string& command, const std::string& argument) {
        answers.expect(command);
        settings.send(command + " " + argument);
        return answers.wait(command, std::chrono::seconds(10));
    };
    // Reads the body, at most `limit` bytes however it is framed; stages it
    // inside the root for the Settings app, asks it `command PATH` and waits
    // for its answer. Answers the response's status and text.
    auto handUpload = [&](const httplib::ContentReader& readContent, httplib::Response& response, std::size_t limit, const std::string& command,
                          const std::string& unchanged) -> std::optional<std::string> {
        std::string body;
        bool isTooLarge = false;
        bool isRead = readContent([&](const char* data, std::size_t length) {
            if (body.size() + length > limit) {
                isTooLarge = true;
                return false;
            }
            body.append(data, length);
            return true;
        });
        if (isTooLarge || response.status == 413 || !isRead) {
            response.status = isRead || isTooLarge ? 413 : 400;
            response.set_header("Connection", "close");
            response.set_content(response.status == 413 ? "too large: this upload is at most " + std::to_string(limit >> 20) + " MiB\n"
                                                        : "bad request: the upload could not be read whole\n",
                "text/plain");
            return std::nullopt;
        }
        std::lock_guard guard(uploadLock);
        // What a killed server leaves staged is cleared at the next start.
        std::string staged = std::string(uploadFolder) + "/" + DeviceRoot::scratchName(uploadScratch);
        bool isWritten = root.writeFile(staged, { reinterpret_cast<const std::uint8_t*>(body.data()), body.size() }, device::WriteMode::Direct);
        std::optional<std::string> answer;
        if (isWritten) {
            answer = askSettings(command, root.hostPath(staged).value_or(std::filesystem::path()).string());
        }
        root.removeItem(staged);
        if (!answer || !answer->empty()) {
            response.status = 400;
            std::string message = isWritten ? unchanged : "cannot keep the upload; " + unchanged;
            response.set_content((answer ? *answer + "; " : std::string()) + message + "\n", "text/plain");
            return std::nullopt;
        }
        return answer;
    };
    // A store from a device.
    server.Post("/store", [&](const httplib::Request&, httplib::Response& response, const httplib::ContentReader& readContent) {
        if (handUpload(readContent, response, maximumStoreBytes, "import", "the store was not changed"))
            response.set_content("the store was replaced\n", "text/plain");
    });
    // A photo for the home screen's wallpaper, or ?name=NAME for a built-in one.
    server.Post("/wallpaper", [&](const httplib::Request& request, httplib::Response& response, const httplib::ContentReader& readContent) {
        if (request.has_param("name")) {
            std::string name = request.get_param_value("name");
            bool isKnown = std::ranges::any_of(builtInWallpapers(), [&](auto& wallpaper) { return name == wallpaper.name; });
            if (!isKnown) {
                response.status = 400;
                response.set_content("no built-in wallpaper of that name\n", "text/plain");
                return;
            }
            std::lock_guard guard(uploadLock);
            auto answer = askSettings("wallpaper", name);
            response.status = answer && answer->empty() ? 200 : 400;
            response.set_content(
                answer && answer->empty() ? "the wallpaper is " + name + "\n" : answer.value_or("no answer") + "; the wallpaper was not changed\n",
                "text/plain");
            return;
        }
        if (handUpload(readContent, response, maximumPhotoBytes, "wallpaper", "the wallpaper was not changed"))
            response.set_content("the wallpaper is your photo\n", "text/plain");
    });

    // Pages listening to events are let go first: the server waits for its
    // requests to finish before it stops.
    if (::pipe2(stopPipe, O_CLOEXEC) != 0) {
        std::cerr << "menutone: simulator: " << std::strerror(errno) << "\n";
        return ExitStatus::Failure;
    }
    std::atomic<bool> hasListeningEnded { false };
    std::thread stopper([&] {
        char byte;
        while (::read(stopPipe[0], &byte, 1) < 0 && errno == EINTR) { }
        broadcaster.closeAll();
        // The server forgets a stop asked for before it listens (Ctrl-C just
        // after the banner): wait until it listens, or has given up.
        while (!server.is_running() && !hasListeningEnded)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        server.stop();
    });
    struct sigaction action { };
    action.sa_handler = stopOnSignal;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    std::cout << "Menutone simulator: http://" << host << "/ (root " << rootFolder << "; Ctrl-C ends it)" << std::endl;
    server.listen_after_bind();
    hasListeningEnded = true;
    stopOnSignal(0);
    stopper.join();
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    ::close(stopPipe[0]);
    ::close(stopPipe[1]);
    restarter.stop();
    settings.stop();
    springBoard.stop();
    root.removeItem("/var/run/menutone-simulator.lock");
    return ExitStatus::Success;
}
