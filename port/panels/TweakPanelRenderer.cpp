// Drawing and input of the tweak panels (ImGui drawing comes with the window layer).
#include "port/panels/TweakPanels.h"

#include "port/panels/TweakPanelLibrary.h"

int TwInit(TwGraphAPI, void*) { return 1; }

int TwTerminate() {
  TweakPanelLibrary::Get().DeleteAllBars();
  return 1;
}

int TwWindowSize(int width, int height) {
  TweakPanelLibrary& lib = TweakPanelLibrary::Get();
  lib.windowWidth = width;
  lib.windowHeight = height;
  return 1;
}

int TwDraw() {
  TweakPanelLibrary::Get().RunPending();
  return 1;
}

int TwEventWin(const WindowEvent&) { return 0; }
