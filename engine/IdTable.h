// One of the Overlord's two registries: id -> pointer, 10000 buckets keyed by
// id modulo 10000. Every bucket starts with 8 nodes from one block made at
// construction; a bucket that needs more gets nodes appended one at a time.
// Nodes are never given back during the run; a node with a null value is free.
// Does not own the values. Main thread only.
#pragma once
#include <cstddef>

#include "core/Types.h"

template <class T>
class IdTable {
public:
    static constexpr u32 kBuckets = 10000;
    static constexpr u32 kNodesPerBucket = 8;

    IdTable() : block_(new Node[kBuckets * kNodesPerBucket]) {
        for (u32 b = 0; b < kBuckets; ++b) {
            Node* first = &block_[b * kNodesPerBucket];
            for (u32 i = 0; i + 1 < kNodesPerBucket; ++i) first[i].next = &first[i + 1];
        }
    }

    ~IdTable() {
        for (u32 b = 0; b < kBuckets; ++b) {
            Node* extra = Head(b)[kNodesPerBucket - 1].next;
            while (extra) {
                Node* next = extra->next;
                delete extra;
                extra = next;
            }
        }
        delete[] block_;
    }

    IdTable(const IdTable&) = delete;
    IdTable& operator=(const IdTable&) = delete;

    // The value of the first node with this id (null for a removed entry or
    // an unknown id).
    T* Find(u32 id) const {
        if (id == 0) return nullptr;
        for (const Node* node = Head(id % kBuckets); node; node = node->next)
            if (node->id == id) return node->value;
        return nullptr;
    }

    // Takes the first free node of the bucket, or appends one after its last.
    void Insert(u32 id, T* value) {
        if (id == 0 || !value) return;
        Node* node = Head(id % kBuckets);
        while (node->value && node->next) node = node->next;
        if (node->value) {
            node->next = new Node{value, id, nullptr};
            ++extraNodes_;
            return;
        }
        node->value = value;
        node->id = id;
    }

    // Frees every node of the bucket that holds this id.
    void Remove(u32 id) {
        if (id == 0) return;
        for (Node* node = Head(id % kBuckets); node; node = node->next) {
            if (node->id == id) {
                node->value = nullptr;
                node->id = 0;
            }
        }
    }

    // Frees the nodes that hold this id with exactly this value.
    void RemoveIfValue(u32 id, const T* value) {
        if (id == 0) return;
        for (Node* node = Head(id % kBuckets); node; node = node->next) {
            if (node->id == id && node->value == value) {
                node->value = nullptr;
                node->id = 0;
            }
        }
    }

    // visit(id, value) for every live entry, bucket by bucket. The visitor may
    // remove entries (removal only clears nodes).
    template <class Visit>
    void ForEach(Visit visit) const {
        for (u32 b = 0; b < kBuckets; ++b) {
            for (const Node* node = Head(b); node; node = node->next) {
                if (node->value) visit(node->id, node->value);
            }
        }
    }

    // Nodes appended beyond the first eight of their bucket.
    std::size_t ExtraNodeCount() const { return extraNodes_; }

private:
    struct Node {
        T* value = nullptr;
        u32 id = 0;
        Node* next = nullptr;
    };

    Node* Head(u32 bucket) const { return &block_[bucket * kNodesPerBucket]; }

    Node* block_;
    std::size_t extraNodes_ = 0;
};
