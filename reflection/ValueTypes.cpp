#include "reflection/ValueTypes.h"

#include "port/math/D3DX.h"
#include "port/panels/TweakPanels.h"
#include "reflection/MetaRegistry.h"

namespace {
template <class T>
void FloatMembers(std::initializer_list<const char*> names) {
    u32 offset = 0;
    for (const char* name : names) {
        MetaMemVar<T>::template AddAt<float>(name, offset);
        offset += sizeof(float);
    }
}
}  // namespace

void ValueTypes::Register(MetaRegistry& registry) {
    static const bool built = [] {
        FloatMembers<D3DXVECTOR2>({"x", "y"});
        FloatMembers<D3DXVECTOR3>({"x", "y", "z"});
        FloatMembers<D3DXVECTOR4>({"x", "y", "z", "w"});
        FloatMembers<D3DXQUATERNION>({"x", "y", "z", "w"});
        FloatMembers<D3DXCOLOR>({"r", "g", "b", "a"});
        return true;
    }();
    (void)built;
    registry.Register<D3DXVECTOR3>("D3DXVECTOR3");
    registry.Register<D3DXQUATERNION>("D3DXQUATERNION");
    registry.Register<D3DXCOLOR>("D3DXCOLOR");
    registry.Register<D3DXVECTOR4>("D3DXVECTOR4");
    registry.Register<D3DXVECTOR2>("D3DXVECTOR2");
    registry.GetByTypeId(TypeId<D3DXVECTOR3>::Get())->SetTweakType(TW_TYPE_DIR3F);
    registry.GetByTypeId(TypeId<D3DXQUATERNION>::Get())->SetTweakType(TW_TYPE_QUAT4F);
    registry.GetByTypeId(TypeId<D3DXCOLOR>::Get())->SetTweakType(TW_TYPE_COLOR4F);
    registry.GetByTypeId(TypeId<D3DXVECTOR2>::Get())->SetTweakType(0);
}
