// Records the messages of the (type, argument) pairs it watches, with a copy
// of the first bytes of each payload, under an id the hub resolves to it.
// Lives on the test's stack; the hub's resolver forgets it when it goes.
#pragma once
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "engine/IMessaging.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"

struct Received {
    u32 type;
    u32 argument;
    u32 sender;
    bool hadPayload;
    std::vector<unsigned char> bytes;  // the first bytes of the payload (up to 64)

    template <class T>
    T As() const {
        T value{};
        std::memcpy(&value, bytes.data(), std::min(sizeof(T), bytes.size()));
        return value;
    }
};

class MessageRecorder : public IMessaging {
public:
    // payloadSize: how many payload bytes to copy for each watched pair.
    explicit MessageRecorder(u32 id) : id_(id) { instances()[id] = this; }
    ~MessageRecorder() override { instances().erase(id_); }

    void Watch(u32 type, u32 argument, size_t payloadSize = 0) {
        MessageHub::Instance()->SubscribeResolver(type, argument, id_, &Resolve);
        sizes_.push_back({{type, argument}, payloadSize});
    }
    void HandleMessage(Message* m) override {
        Received r{m->type, m->argument, m->sender, m->payload != nullptr, {}};
        size_t size = 0;
        for (auto& [pair, s] : sizes_)
            if (pair.first == m->type && pair.second == m->argument) size = s;
        if (m->payload && size)
            r.bytes.assign(static_cast<unsigned char*>(m->payload), static_cast<unsigned char*>(m->payload) + size);
        received.push_back(r);
        if (onMessage) onMessage(m);
    }
    std::vector<Received> Of(u32 type, u32 argument) const {
        std::vector<Received> out;
        for (const auto& r : received)
            if (r.type == type && r.argument == argument) out.push_back(r);
        return out;
    }

    std::vector<Received> received;
    std::function<void(Message*)> onMessage;

private:
    static std::map<u32, MessageRecorder*>& instances() {
        static std::map<u32, MessageRecorder*> map;
        return map;
    }
    static IMessaging* Resolve(u32 id) {
        auto it = instances().find(id);
        return it == instances().end() ? nullptr : it->second;
    }
    u32 id_;
    std::vector<std::pair<std::pair<u32, u32>, size_t>> sizes_;
};
