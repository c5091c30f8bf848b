// The engine-wide services of the run in the order they were created. Each
// entry owns one service object (a Singleton: its constructor set the global
// instance pointer); DestroyAll deletes them newest first, so every service
// outlives the ones made after it and each pointer is cleared as it goes.
// Owned by the start-up assembly for the whole run; main thread only.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Assert.h"

class ServiceTable {
public:
    ServiceTable() = default;
    ~ServiceTable() { DestroyAll(); }
    ServiceTable(const ServiceTable&) = delete;
    ServiceTable& operator=(const ServiceTable&) = delete;

    // Constructs T from args and files it under name as the newest entry.
    // When the constructor throws, nothing is filed and the exception goes on.
    // A second live service of one class is a programmer's error: it stops.
    template <class T, class... Args>
    T& Create(const char* name, Args&&... args) {
        DD_ASSERT(T::Instance() == nullptr, (std::string(name) + " is made while another one lives").c_str());
        auto service = std::make_unique<Entry<T>>(name, std::forward<Args>(args)...);
        T& object = service->object;
        entries_.push_back(std::move(service));
        return object;
    }

    // Deletes the services newest first; the table is empty afterwards.
    // beforeEach(name), when given, runs just before each one goes.
    void DestroyAll(const std::function<void(const std::string&)>& beforeEach = {}) {
        while (!entries_.empty()) {
            if (beforeEach) beforeEach(entries_.back()->name);
            entries_.pop_back();
        }
    }

    // Names in creation order.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : entries_) names.push_back(entry->name);
        return names;
    }
    // Names of the entries whose class's global instance pointer is not this
    // entry's object (set by something else, or cleared early).
    std::vector<std::string> EntriesNotReachable() const {
        std::vector<std::string> names;
        for (const auto& entry : entries_)
            if (!entry->Reachable()) names.push_back(entry->name);
        return names;
    }
    bool Empty() const { return entries_.empty(); }

private:
    struct EntryBase {
        explicit EntryBase(const char* entryName) : name(entryName) {}
        virtual ~EntryBase() = default;
        virtual bool Reachable() const = 0;
        std::string name;
    };
    template <class T>
    struct Entry : EntryBase {
        template <class... Args>
        explicit Entry(const char* entryName, Args&&... args)
            : EntryBase(entryName), object(std::forward<Args>(args)...) {}
        bool Reachable() const override { return T::Instance() == &object; }
        T object;
    };

    std::vector<std::unique_ptr<EntryBase>> entries_;
};
