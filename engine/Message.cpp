#include "engine/Message.h"

void DeletePayload(void* payload) {
    ::operator delete(payload);
}

void DeleteStringPayload(void* payload) {
    delete static_cast<std::string*>(payload);
}

void DeleteNoPayload(void*) {}
