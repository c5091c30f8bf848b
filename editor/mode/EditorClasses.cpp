#include "editor/mode/EditorClasses.h"

#include "editor/proxy/EditorProxyObject.h"
#include "editor/proxy/WaypointProxyVisualization.h"

const ComponentClassList& EditorClasses() {
    static const ComponentClassList classes = {
        ComponentClassOf<EditorProxyObject>("EditorProxyObject"),
        ComponentClassOf<WaypointProxyVisualization>("WaypointProxyVisualization"),
    };
    return classes;
}
