// The tweak panels' in-memory model: bars, variables, groups, enumerations,
// global parameters and the error channel, plus the deferred work (button
// presses, edited callback values) run after each drawn frame. One instance
// for the process (Get), used by the Tw* functions, the ImGui drawer and the
// test inspection; main thread only.
#pragma once

#include "port/panels/TweakPanelsProbe.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TweakPanelLibrary {
public:
    // A value of any variable type, held by the library between a read and a write.
    struct Value {
        alignas(8) unsigned char raw[32] = {};
        std::string text;  // string types
    };

    struct Var {
        std::string name;
        TweakVarKind kind = TweakVarKind::ReadWrite;
        TwType type = TW_TYPE_UNDEF;
        void* address = nullptr;
        TwSetVarCallback setCallback = nullptr;
        TwGetVarCallback getCallback = nullptr;
        TwButtonCallback buttonCallback = nullptr;
        void* clientData = nullptr;
        std::map<std::string, std::string> params;
    };

    struct Bar {
        uint64_t serial = 0;
        std::string name;
        std::map<std::string, std::string> params;
        std::map<std::string, std::map<std::string, std::string>> groups;
        std::vector<Var> vars;
    };

    // Work left for after the frame: a button press or a value for a set callback.
    struct Pending {
        uint64_t barSerial = 0;
        std::string varName;
        bool isButton = false;
        Value value;
    };

    static TweakPanelLibrary& Get();

    // Errors.
    void BeginCall() {
        lastError_.clear();
        hasError_ = false;
    }
    void Error(const std::string& message);
    const char* LastError() const { return hasError_ ? lastError_.c_str() : nullptr; }
    void SetErrorHandler(TwErrorHandler handler) { errorHandler_ = handler; }

    // Handles: serial numbers, never reused.
    static TwBar* Handle(const Bar& bar);
    Bar* Find(const TwBar* handle, const char* caller);  // reports null / stale handles
    Bar* FindQuiet(const TwBar* handle);
    Bar* FindBySerial(uint64_t serial);
    Bar* FindByName(const std::string& name);
    static Var* FindVar(Bar& bar, const std::string& name);

    TwBar* NewBar(const char* name);
    bool DeleteBar(const TwBar* handle);
    void DeleteAllBars();
    bool AddVar(const TwBar* handle, Var var, const char* def);
    bool Define(const char* def);
    TwType DefineEnum(const char* name, const TwEnumVal* values, unsigned count);
    bool ApplyParam(Bar* bar, const std::string& item, const std::string& key, const std::string& value);

    const std::vector<std::unique_ptr<Bar>>& Bars() const { return bars_; }
    const std::map<std::string, std::string>& GlobalParams() const { return globals_; }
    bool IsEnum(TwType type) const;
    const std::vector<TwEnumVal>& EnumValues(TwType type) const;
    std::string EnumName(TwType type) const;
    void Reset();

    // Values. Read fills value from the variable (address or get callback);
    // Write stores it (address) or hands it to the set callback at once.
    bool IsKnownType(TwType type) const;
    bool ReadValue(const Var& var, Value* value) const;
    void WriteValue(Var& var, const Value& value) const;
    bool ToText(TwType type, const Value& value, std::string* text) const;
    bool FromText(TwType type, const std::string& text, Value* value) const;
    // One number as a field shows and takes it: decimal or scientific
    // ("2e3", "-1.5E-2", "1e+006"), blanks around it; nothing else may
    // follow. Infinite, not-a-number and (for a float) out-of-range values
    // are refused.
    static bool ParseNumber(const std::string& text, bool isFloat, double* out);
    // How many float or double numbers a value of the type holds (0: not numbers).
    static int NumberCount(TwType type);
    static bool IsReadOnly(const Var& var);
    static bool ParamIsTrue(const std::map<std::string, std::string>& params, const char* key, bool fallback);

    // Deferred work, run by RunPending after the frame's drawing.
    void Defer(Pending pending) { pending_.push_back(std::move(pending)); }
    void RunPending();

    // Window size for drawing.
    int windowWidth = 1024;
    int windowHeight = 768;

private:
    std::vector<std::unique_ptr<Bar>> bars_;
    uint64_t nextSerial_ = 1;
    std::map<std::string, std::string> globals_;
    struct Enum {
        std::string name;
        std::vector<TwEnumVal> values;
        std::vector<std::unique_ptr<std::string>> labels;  // own the label texts
    };
    std::map<TwType, Enum> enums_;
    TwType nextEnum_ = 0x10000;
    std::vector<Pending> pending_;
    std::string lastError_;
    bool hasError_ = false;
    TwErrorHandler errorHandler_ = nullptr;
};
