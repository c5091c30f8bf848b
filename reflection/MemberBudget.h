// The bound on what the reflected members of one scene's components hold
// (list elements at their size, string bytes): counted when a value is read
// from Lua and when a component is cloned, so a table that many objects name
// counts at each use. What live components hold is counted: each component
// keeps what it was charged (Held) and gives it back when it is deleted, so
// objects made during play are refused only while what is alive passes the
// bound. A scene clear starts a new count; components of an older count give
// nothing back to it. Process-wide; main thread only.
#pragma once
#include <exception>

#include "core/Types.h"

class IMetaClass;

class MemberBudget {
public:
    // Bytes one scene's components may hold in reflected lists and strings.
    static constexpr u64 kSceneBytes = u64(64) << 20;

    // What one component is charged on the count of one scene (0: none).
    struct Held {
        u32 scene = 0;
        u64 bytes = 0;
    };
    // One scene's count.
    struct Count {
        u32 scene = 0;
        u64 used = 0;
    };

    // Thrown by the value readers inside a Reading when the scene would pass
    // the bound; the reader that catches it refuses the whole object.
    class Exceeded : public std::exception {
    public:
        const char* what() const noexcept override { return "past the scene's budget of lists and strings"; }
    };

    // While one is open, the value readers charge each list element and
    // string byte before they make it; what it charged is given back when it
    // closes (the reader then settles the component on what it holds).
    // Readings nest; outside any, reads are not counted (the start-up file).
    class Reading {
    public:
        Reading();
        ~Reading();
        Reading(const Reading&) = delete;
        Reading& operator=(const Reading&) = delete;
        // Charges at once what the reads are known to take at least (the
        // Lua lengths of the tables and strings about to be read; throws
        // Exceeded), so that an object past the bound is refused before its
        // first list is read; the reads then use it up before charging more.
        void Prepay(u64 bytes);

    private:
        friend class MemberBudget;
        Reading* outer_;
        u64 charged_ = 0;
        u64 prepaid_ = 0;
    };

    // Charged by the value readers: nothing outside a Reading; throws
    // Exceeded when the scene would pass the bound.
    static void ChargeRead(u64 bytes);

    // The bytes the reflected members of object (of class metaClass, or of
    // the class registered under typeId; 0 when none) hold.
    static u64 Measure(const IMetaClass& metaClass, const void* object);
    static u64 Measure(u32 typeId, const void* object);

    // Whether `bytes` more would stay within the bound.
    static bool Fits(u64 bytes);
    // Sets what `held` stands for on the current count to `bytes` (giving
    // back what it held there before), whether it fits or not: the caller
    // asked Fits first, or settles a read that was charged as it went.
    static void Hold(Held& held, u64 bytes);
    // Gives back what `held` holds on the current count (nothing for an
    // older one).
    static void GiveBack(Held& held);

    // A new, empty count for the scene about to be made (a scene clear).
    static void StartScene();
    // A count of its own for a scene checked while another is current:
    // Stage() makes it current and returns the one it replaced, Unstage()
    // puts that back and returns the staged one, which Adopt() makes current
    // once the old scene is cleared.
    static Count Stage();
    static Count Unstage(const Count& previous);
    static void Adopt(const Count& count);
    static const Count& Current() { return current_; }

private:
    static inline Count current_{1, 0};
    static inline u32 lastScene_ = 1;
    static inline Reading* reading_ = nullptr;
};
