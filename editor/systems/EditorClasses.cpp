#include "editor/systems/EditorClasses.h"

#include "editor/systems/EditorProxyObject.h"
#include "editor/systems/WaypointProxyVisualization.h"

const ComponentClassList& EditorClasses() {
    static const ComponentClassList classes = {
        ComponentClassOf<EditorProxyObject>("EditorProxyObject"),
        ComponentClassOf<WaypointProxyVisualization>("WaypointProxyVisualization"),
    };
    return classes;
}
