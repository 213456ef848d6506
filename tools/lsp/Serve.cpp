// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// A reader thread frames the client's messages into an inbox; the loop
// takes everything the inbox holds as one burst.
#include "Serve.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace vek::lsp {
namespace {

class Inbox {
public:
    // Waits while the inbox holds more than a message's worth, so a client
    // that writes faster than the server reads costs bounded memory.
    void put(Incoming incoming) {
        std::unique_lock<std::mutex> lock(mutex_);
        roomy_.wait(lock, [&] { return bytes_ <= kLargestMessage; });
        bytes_ += incoming.body.size();
        messages_.push_back(std::move(incoming));
        ready_.notify_one();
    }
    void takeAll(std::vector<Incoming>& taken) {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [&] { return !messages_.empty(); });
        taken.swap(messages_);
        bytes_ = 0;
        roomy_.notify_one();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_, roomy_;
    std::vector<Incoming> messages_;
    size_t bytes_ = 0;
};

}  // namespace

void serveBurst(Server& server, std::vector<Incoming>& burst) {
    for (const Incoming& incoming : burst) {
        if (incoming.kind == Incoming::Kind::Body && incoming.body.find("$/cancelRequest") != std::string::npos) {
            server.noteCancel(incoming.body);
        }
    }
    for (Incoming& incoming : burst) {
        if (server.exited()) break;
        if (!incoming.problem.empty()) server.logProblem(incoming.problem);
        if (incoming.kind == Incoming::Kind::Body) server.receive(std::move(incoming.body));
        if (incoming.kind == Incoming::Kind::End) {
            if (incoming.midMessage) server.logProblem("the input ended inside a message");
            server.streamEnded();
        }
        incoming.body = std::string();
    }
    burst.clear();
    server.forgetCancels();
    try {
        server.publishChanged();
    } catch (const std::bad_alloc&) {
        server.logProblem("out of memory while checking a document; its diagnostics are not shown");
    }
}

int serve(std::FILE* in, std::FILE* out, ServerSetup setup, std::function<bool()> clientAlive) {
    auto inbox = std::make_shared<Inbox>();
    // The reader may be blocked reading when the server exits: it is left
    // to the end of the process, holding the inbox it writes to.
    std::thread([inbox, in] {
        MessageReader reader(in);
        while (true) {
            Incoming incoming = reader.next();
            const bool end = incoming.kind == Incoming::Kind::End;
            inbox->put(std::move(incoming));
            if (end) return;
        }
    }).detach();
    // A client that is gone cannot say exit: its end is the stream's.
    if (clientAlive) {
        std::thread([inbox, clientAlive] {
            while (clientAlive()) std::this_thread::sleep_for(std::chrono::seconds(1));
            inbox->put(Incoming{Incoming::Kind::End, "", "the client's process has ended", false});
        }).detach();
    }

    Server server(std::move(setup), [out](std::string_view body) { return writeMessage(out, body); });
    std::vector<Incoming> burst;
    while (!server.exited()) {
        inbox->takeAll(burst);
        serveBurst(server, burst);
    }
    return server.exitStatus();
}

}  // namespace vek::lsp
