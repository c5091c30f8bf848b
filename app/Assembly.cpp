#include "app/Assembly.h"

#include "engine/Engine.h"
#include "engine/Graveyard.h"
#include "engine/IdCounter.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "port/os/MessageBox.h"
#include "reflection/MetaRegistry.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"

namespace {
// Script failures (a missing start-up file, a broken scene) reach the user
// through the program's message box.
void ReportThroughMessageBox(const std::string& caption, const std::string& text) {
    ShowMessageBox(text.c_str(), caption.c_str());
}
}  // namespace

Assembly::Assembly() = default;

Assembly::~Assembly() { DisassembleEngine(); }

void Assembly::AssembleEngine() {
    messageHub_ = std::make_unique<MessageHub>();
    idCounter_ = std::make_unique<IdCounter>(1);
    metaRegistry_ = std::make_unique<MetaRegistry>();
    SceneLoader::SetFailureReporter(&ReportThroughMessageBox);
    sceneLoader_ = std::make_unique<SceneLoader>();
    assetFolders_ = std::make_unique<DevozizuDave>();
    // A missing or broken start-up file has been reported; the run goes on
    // with empty folders (the log then lies in the working directory).
    assetFolders_->Load();
    logger_ = std::make_unique<Logger>(assetFolders_->log.path, assetFolders_->log.extension);
    graveyard_ = std::make_unique<Graveyard>();
    overlord_ = std::make_unique<Overlord>();
    objectFactory_ = std::make_unique<ObjectFactory>();
    sceneManager_ = std::make_unique<SceneManager>();
    engine_ = std::make_unique<Engine>();
}

void Assembly::DisassembleEngine() {
    engine_.reset();
    sceneManager_.reset();
    objectFactory_.reset();
    overlord_.reset();
    graveyard_.reset();
    logger_.reset();
    assetFolders_.reset();
    sceneLoader_.reset();
    SceneLoader::SetFailureReporter(nullptr);
    metaRegistry_.reset();
    idCounter_.reset();
    messageHub_.reset();
}
