// The resolvers that messages carry: each turns an id into its receiver at
// delivery time, or null when nothing is registered under the id (any more).
// Controls have theirs in the GuiSystem. Main thread only.
#pragma once
#include "core/Types.h"

class IMessaging;

// The engine system with this type id (Engine::GetSystem), or null.
IMessaging* ResolveSystem(u32 typeId);
// The component registered in the Overlord under this id, or null.
IMessaging* ResolveComponent(u32 componentId);
// The game object registered in the Overlord under this id, or null.
IMessaging* ResolveGameObject(u32 objectId);
