#include "editor/mode/EditorControlState.h"

EditorControlState::EditorControlState() {
    ReflectOnce<EditorControlState>();
}

void EditorControlState::Reflect() {
    ReflectOnce<EditorControlState>();
}

void EditorControlState::Reflect(MemberList<EditorControlState>& members) {
    members.Add("camSpeed", &EditorControlState::camSpeed);
    members.Add("rotateStepAngleDegrees", &EditorControlState::rotateStepAngleDegrees);
    members.Add("objectMoveSpeed", &EditorControlState::objectMoveSpeed);
    members.Add("rotateMode", &EditorControlState::rotateMode);
    members.Add("axisLocks", &EditorControlState::axisLocks);
    members.Add("orthoMode", &EditorControlState::orthoMode);
    members.Add("objectMoveMode", &EditorControlState::objectMoveMode);
    members.Add("constrainMoveInteger", &EditorControlState::constrainMoveInteger);
}
