// The base of every component: id, type id, owning object and enabled flag.
// A component belongs to one GameObject (which holds its pointer), is
// registered in the Overlord under its id, and is deleted only by the
// Graveyard (or at shutdown by the Overlord or the ObjectFactory that owns a
// prototype). Main thread only.
#pragma once
#include "core/Types.h"
#include "engine/IMessaging.h"
#include "engine/MessageHub.h"
#include "port/panels/TweakPanels.h"
#include "reflection/MemberBudget.h"

struct TweakVarParams;

class IComponent : public IMessaging {
public:
    // typeId: TypeId<the concrete class>::Get(), asked for before the id is
    // drawn (so a class's first instance gets the id after its type id).
    explicit IComponent(u32 typeId);
    // Forgets the component's registry entry if it still points here.
    ~IComponent() override;
    IComponent& operator=(const IComponent&) = delete;

    // The hooks do nothing unless a class overrides them.
    void HandleMessage(Message* message) override;
    virtual void Update(float dt);
    virtual void Init();
    // Called when the owning object is unregistered or destroyed.
    virtual void Shutdown();
    // A new component of the same class and state with its own new id
    // (Component<T> makes it with T's copy constructor).
    virtual IComponent* Clone() = 0;
    virtual void DebugDraw();
    // The type id of the class this component stands in for; 0 for none.
    virtual u32 GetAliasTypeId();
    virtual void AddTweakBarVars(TwBar* bar, const TweakVarParams& group);
    virtual void AddTweakBarButtons(TwBar* bar);
    virtual void OnEnable();
    virtual void OnDisable();
    // The owning object's parent changed to parentId (0: detached); rebuild
    // asks for fresh world values at once. The Transform overrides it.
    virtual void OnOwnerParentChanged(u32 parentId, bool rebuild);

    u32 GetId() const { return id_; }
    u32 GetTypeId() const { return typeId_; }
    u32 GetOwner() const { return owner_; }
    void SetOwner(u32 objectId) { owner_ = objectId; }
    bool IsEnabled() const { return enabled_; }
    // Stores the flag, then OnEnable or OnDisable.
    void SetEnabled(bool enabled);
    // Whether the component was handed to the Graveyard.
    bool IsBuried() const { return buried_; }
    // What its reflected lists and strings are charged on the scene's
    // MemberBudget (by the loader and the factory; a copy starts with none);
    // given back when it is deleted.
    MemberBudget::Held& MemberBytes() { return memberBytes_; }

    // Files this component (by its id, resolved through the Overlord) under
    // the kind, or takes it off; both do nothing without a hub.
    template <class P>
    void Subscribe(const Kind<P>& kind) {
        SubscribeId(kind.type, kind.argument);
    }
    template <class P>
    void Unsubscribe(const Kind<P>& kind) {
        UnsubscribeId(kind.type, kind.argument);
    }

protected:
    // A copy's base part: a new id, the same type id, no owner, enabled.
    IComponent(const IComponent& other);

private:
    friend class Graveyard;
    void SubscribeId(u32 type, u32 argument) const;
    void UnsubscribeId(u32 type, u32 argument) const;

    u32 id_;
    u32 typeId_;
    u32 owner_ = 0;
    bool enabled_ = true;
    bool buried_ = false;  // handed to the Graveyard
    MemberBudget::Held memberBytes_;
};
