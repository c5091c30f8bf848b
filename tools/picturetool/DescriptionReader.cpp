#include "tools/picturetool/DescriptionReader.h"

#include <lua.hpp>

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "tools/picturetool/TextRaster.h"

namespace {
// Constructors that only tag their table with its kind or operation.
constexpr const char* kPrelude = R"(
local function maker(field, name)
  return function(t) t = t or {}; t[field] = name; return t end
end
for _, k in ipairs{"whole", "rect", "ellipse", "ring", "arc", "polygon", "line", "outline", "text", "stars",
                   "union", "intersect", "subtract"} do _G[k] = maker("kind", k) end
for _, op in ipairs{"fill", "glow", "image"} do _G[op] = maker("op", op) end
function linear(x0, y0, x1, y1, stops, grain)
  return {kind = "linear", x0 = x0, y0 = y0, x1 = x1, y1 = y1, stops = stops, grain = grain}
end
function radial(cx, cy, rx, ry, stops, grain)
  return {kind = "radial", x0 = cx, y0 = cy, x1 = rx, y1 = ry or rx, stops = stops, grain = grain}
end
)";

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct State {
    std::vector<Picture>* pictures;
    TextRaster* text;
};

State& StateOf(lua_State* L) {
    return *static_cast<State*>(lua_touserdata(L, lua_upvalueindex(1)));
}

// Reading one table at a stack index (absolute).
class Table {
public:
    Table(lua_State* L, int index, std::string what) : L_(L), index_(index), what_(std::move(what)) {
        if (!lua_istable(L, index)) throw Failure(what_ + " must be a table");
    }

    // Every string key is one of `allowed`; numbered entries only when `array`.
    void Keys(std::initializer_list<const char*> allowed, bool array = false) const {
        const std::set<std::string> names(allowed.begin(), allowed.end());
        lua_pushnil(L_);
        while (lua_next(L_, index_) != 0) {
            lua_pop(L_, 1);
            if (lua_type(L_, -1) == LUA_TSTRING) {
                const std::string key = lua_tostring(L_, -1);
                if (!names.count(key)) {
                    lua_pop(L_, 1);
                    throw Failure(what_ + " has no key \"" + key + "\"");
                }
            } else if (!array || lua_type(L_, -1) != LUA_TNUMBER) {
                lua_pop(L_, 1);
                throw Failure(what_ + " has a key that is not a name");
            }
        }
    }

    bool Has(const char* key) const {
        lua_getfield(L_, index_, key);
        const bool has = !lua_isnil(L_, -1);
        lua_pop(L_, 1);
        return has;
    }
    float Number(const char* key, float fallback) const {
        lua_getfield(L_, index_, key);
        float value = fallback;
        if (!lua_isnil(L_, -1)) {
            if (lua_type(L_, -1) != LUA_TNUMBER) {
                lua_pop(L_, 1);
                throw Failure(what_ + ": \"" + key + "\" must be a number");
            }
            value = static_cast<float>(lua_tonumber(L_, -1));
        }
        lua_pop(L_, 1);
        return value;
    }
    float Required(const char* key) const {
        if (!Has(key)) throw Failure(what_ + " needs \"" + key + "\"");
        return Number(key, 0.0f);
    }
    std::string String(const char* key, const std::string& fallback) const {
        lua_getfield(L_, index_, key);
        std::string value = fallback;
        if (!lua_isnil(L_, -1)) {
            if (lua_type(L_, -1) != LUA_TSTRING) {
                lua_pop(L_, 1);
                throw Failure(what_ + ": \"" + key + "\" must be a string");
            }
            value = lua_tostring(L_, -1);
        }
        lua_pop(L_, 1);
        return value;
    }
    bool Bool(const char* key, bool fallback) const {
        lua_getfield(L_, index_, key);
        const bool value = lua_isnil(L_, -1) ? fallback : lua_toboolean(L_, -1) != 0;
        lua_pop(L_, 1);
        return value;
    }
    // Pushes the field (or entry n when key is null) and calls read with its index; pops it.
    template <class Read>
    void With(const char* key, int n, Read read) const {
        if (key)
            lua_getfield(L_, index_, key);
        else
            lua_rawgeti(L_, index_, n);
        try {
            read(lua_gettop(L_));
        } catch (...) {
            lua_pop(L_, 1);
            throw;
        }
        lua_pop(L_, 1);
    }
    int Length() const { return static_cast<int>(lua_objlen(L_, index_)); }
    lua_State* L() const { return L_; }
    const std::string& What() const { return what_; }

private:
    lua_State* L_;
    int index_;
    std::string what_;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

Colour ReadColour(lua_State* L, int index, const std::string& what) {
    if (lua_type(L, index) == LUA_TSTRING) {
        const std::string text = lua_tostring(L, index);
        if ((text.size() == 7 || text.size() == 9) && text[0] == '#') {
            Colour c{0, 0, 0, 1};
            bool good = true;
            for (size_t i = 0; i + 1 < text.size(); i += 2) {
                const int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
                good = good && hi >= 0 && lo >= 0;
                c[i / 2] = static_cast<float>(hi * 16 + lo) / 255.0f;
            }
            if (good) return c;
        }
        throw Failure(what + ": \"" + text + "\" is not a colour (#rrggbb or #rrggbbaa)");
    }
    Table table(L, index, what + "'s colour");
    Colour c{0, 0, 0, 1};
    for (int i = 0; i < 4; ++i) {
        lua_rawgeti(L, index, i + 1);
        if (lua_type(L, -1) == LUA_TNUMBER) c[i] = static_cast<float>(lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
    return c;
}

Paint ReadPaint(lua_State* L, int index, const std::string& what) {
    Paint paint;
    if (lua_isnil(L, index)) return paint;
    if (lua_type(L, index) == LUA_TSTRING) {
        paint.stops = {{0.0f, ReadColour(L, index, what)}};
        return paint;
    }
    Table t(L, index, what + "'s paint");
    t.Keys({"kind", "x0", "y0", "x1", "y1", "stops", "grain", "seed"});
    const std::string kind = t.String("kind", "solid");
    if (kind == "linear")
        paint.kind = Paint::Kind::Linear;
    else if (kind == "radial")
        paint.kind = Paint::Kind::Radial;
    else if (kind != "solid")
        throw Failure(what + ": no paint \"" + kind + "\"");
    paint.x0 = t.Number("x0", 0);
    paint.y0 = t.Number("y0", 0);
    paint.x1 = t.Number("x1", 0);
    paint.y1 = t.Number("y1", 0);
    paint.grain = t.Number("grain", 0);
    paint.seed = static_cast<std::uint32_t>(t.Number("seed", 0));
    t.With("stops", 0, [&](int stops) {
        Table list(L, stops, what + "'s stops");
        paint.stops.clear();
        for (int i = 1; i <= list.Length(); ++i)
            list.With(nullptr, i, [&](int stop) {
                Table s(L, stop, what + "'s stop");
                lua_rawgeti(L, stop, 1);
                const float at = static_cast<float>(lua_tonumber(L, -1));
                lua_pop(L, 1);
                lua_rawgeti(L, stop, 2);
                const Colour colour = ReadColour(L, lua_gettop(L), what);
                lua_pop(L, 1);
                paint.stops.push_back({at, colour});
            });
        if (paint.stops.empty()) throw Failure(what + ": a gradient needs stops");
    });
    return paint;
}

Shape ReadShape(lua_State* L, int index, const std::string& what) {
    Table t(L, index, what + "'s shape");
    const std::string kind = t.String("kind", "");
    Shape s;
    s.soft = t.Number("soft", 0);
    auto children = [&]() {
        t.Keys({"kind", "soft", "w"}, true);
        for (int i = 1; i <= t.Length(); ++i)
            t.With(nullptr, i, [&](int child) { s.children.push_back(ReadShape(L, child, what)); });
        if (s.children.empty()) throw Failure(what + ": " + kind + " needs shapes");
    };
    if (kind == "whole") {
        t.Keys({"kind"});
    } else if (kind == "rect") {
        t.Keys({"kind", "soft", "x", "y", "w", "h", "r"});
        s.kind = Shape::Kind::Rect;
        s.x = t.Required("x"), s.y = t.Required("y"), s.w = t.Required("w"), s.h = t.Required("h");
        s.r = t.Number("r", 0);
    } else if (kind == "ellipse") {
        t.Keys({"kind", "soft", "x", "y", "rx", "ry", "r"});
        s.kind = Shape::Kind::Ellipse;
        s.x = t.Required("x"), s.y = t.Required("y");
        s.w = t.Number("rx", t.Number("r", 0)), s.h = t.Number("ry", s.w);
        if (s.w <= 0 || s.h <= 0) throw Failure(what + ": an ellipse needs radii");
    } else if (kind == "ring" || kind == "arc") {
        t.Keys({"kind", "soft", "x", "y", "r", "w", "from", "to"});
        s.kind = kind == "ring" ? Shape::Kind::Ring : Shape::Kind::Arc;
        s.x = t.Required("x"), s.y = t.Required("y"), s.r = t.Required("r"), s.w = t.Required("w");
        if (kind == "arc") s.from = t.Required("from"), s.to = t.Required("to");
    } else if (kind == "polygon") {
        t.Keys({"kind", "soft"}, true);
        s.kind = Shape::Kind::Polygon;
        for (int i = 1; i <= t.Length(); ++i)
            t.With(nullptr, i, [&](int point) {
                Table p(L, point, what + "'s point");
                lua_rawgeti(L, point, 1);
                lua_rawgeti(L, point, 2);
                s.points.push_back({static_cast<float>(lua_tonumber(L, -2)), static_cast<float>(lua_tonumber(L, -1))});
                lua_pop(L, 2);
            });
        if (s.points.size() < 3) throw Failure(what + ": a polygon needs three points");
    } else if (kind == "line") {
        t.Keys({"kind", "soft", "x1", "y1", "x2", "y2", "w"});
        s.kind = Shape::Kind::Line;
        s.x = t.Required("x1"), s.y = t.Required("y1"), s.x2 = t.Required("x2"), s.y2 = t.Required("y2");
        s.w = t.Number("w", 1);
    } else if (kind == "outline") {
        children();
        s.kind = Shape::Kind::Outline;
        s.w = t.Number("w", 1);
    } else if (kind == "text") {
        t.Keys({"kind", "font", "size", "x", "y", "align", "wrap", "line", "tracking"}, true);
        s.kind = Shape::Kind::Text;
        t.With(nullptr, 1, [&](int value) {
            if (lua_type(L, value) != LUA_TSTRING) throw Failure(what + ": text needs its string first");
            s.text.text = lua_tostring(L, value);
        });
        s.text.font = t.String("font", "");
        if (s.text.font.empty()) throw Failure(what + ": text needs a font");
        s.text.size = t.Required("size");
        s.text.x = t.Required("x"), s.text.y = t.Required("y");
        const std::string align = t.String("align", "left");
        if (align == "centre" || align == "center")
            s.text.align = TextSpec::Align::Centre;
        else if (align == "right")
            s.text.align = TextSpec::Align::Right;
        else if (align != "left")
            throw Failure(what + ": no alignment \"" + align + "\"");
        s.text.wrap = t.Number("wrap", 0);
        s.text.lineHeight = t.Number("line", 0);
        s.text.tracking = t.Number("tracking", 0);
    } else if (kind == "stars") {
        t.Keys({"kind", "count", "seed", "r"});
        s.kind = Shape::Kind::Stars;
        s.count = static_cast<std::uint32_t>(t.Required("count"));
        s.seed = static_cast<std::uint32_t>(t.Number("seed", 1));
        s.r = t.Number("r", 1.2f);
    } else if (kind == "union" || kind == "intersect" || kind == "subtract") {
        children();
        s.kind = kind == "union"       ? Shape::Kind::Union
                 : kind == "intersect" ? Shape::Kind::Intersect
                                       : Shape::Kind::Subtract;
    } else {
        throw Failure(what + ": no shape \"" + kind + "\"");
    }
    return s;
}

Layer ReadLayer(lua_State* L, int index, const std::string& what, std::uint32_t number) {
    Table t(L, index, what + "'s layer");
    const std::string op = t.String("op", "");
    Layer layer;
    layer.opacity = t.Number("opacity", 1);
    const std::string blend = t.String("blend", "over");
    if (blend == "add")
        layer.blend = Layer::Blend::Add;
    else if (blend != "over")
        throw Failure(what + ": no blend \"" + blend + "\"");
    if (op == "image") {
        t.Keys({"op", "opacity", "blend", "x", "y", "scale"}, true);
        layer.op = Layer::Op::Image;
        t.With(nullptr, 1, [&](int value) {
            if (lua_type(L, value) != LUA_TSTRING) throw Failure(what + ": image needs a picture name first");
            layer.image = lua_tostring(L, value);
        });
        layer.shape.x = t.Required("x"), layer.shape.y = t.Required("y");
        layer.scale = t.Number("scale", 1);
        return layer;
    }
    if (op == "fill") {
        t.Keys({"op", "opacity", "blend", "paint"}, true);
    } else if (op == "glow") {
        t.Keys({"op", "opacity", "blend", "paint", "radius", "strength", "dx", "dy"}, true);
        layer.op = Layer::Op::Glow;
        layer.radius = t.Required("radius");
        layer.strength = t.Number("strength", 1);
        layer.dx = t.Number("dx", 0), layer.dy = t.Number("dy", 0);
    } else {
        throw Failure(what + ": no layer \"" + op + "\"");
    }
    t.With(nullptr, 1, [&](int shape) { layer.shape = ReadShape(L, shape, what); });
    t.With("paint", 0, [&](int paint) { layer.paint = ReadPaint(L, paint, what); });
    if (layer.paint.seed == 0) layer.paint.seed = number;
    return layer;
}

Picture ReadPicture(lua_State* L, bool preview) {
    const std::string kind = preview ? "preview" : "picture";
    Table t(L, 1, kind);
    Picture picture;
    picture.preview = preview;
    picture.name = t.String("name", "");
    if (picture.name.empty()) throw Failure("a " + kind + " needs a name");
    const std::string what = kind + " \"" + picture.name + "\"";
    Table named(L, 1, what);
    named.Keys({"name", "width", "height", "format", "mips", "layers"});
    picture.width = static_cast<std::uint32_t>(named.Required("width"));
    picture.height = static_cast<std::uint32_t>(named.Required("height"));
    if (picture.width == 0 || picture.height == 0 || picture.width > 4096 || picture.height > 4096)
        throw Failure(what + ": its size must be 1 to 4096 pixels each way");
    const std::string format = named.String("format", "bgra");
    if (format == "bgr")
        picture.format = Picture::Format::Bgr;
    else if (format == "bc3")
        picture.format = Picture::Format::Bc3;
    else if (format != "bgra")
        throw Failure(what + ": no format \"" + format + "\"");
    picture.mips = named.Bool("mips", false);
    if (named.Has("layers"))
        named.With("layers", 0, [&](int layers) {
            Table list(L, layers, what + "'s layers");
            for (int i = 1; i <= list.Length(); ++i)
                list.With(nullptr, i, [&](int layer) {
                    picture.layers.push_back(ReadLayer(L, layer, what, static_cast<std::uint32_t>(i)));
                });
        });
    return picture;
}

int Describe(lua_State* L, bool preview) {
    State& state = StateOf(L);
    bool failed = false;
    try {
        Picture picture = ReadPicture(L, preview);
        for (const Picture& p : *state.pictures)
            if (p.name == picture.name) throw Failure("\"" + p.name + "\" is described twice");
        state.pictures->push_back(std::move(picture));
    } catch (const std::exception& e) {
        lua_pushstring(L, e.what());
        failed = true;
    }
    if (failed) return lua_error(L);
    return 0;
}

int PictureFunction(lua_State* L) {
    return Describe(L, false);
}
int PreviewFunction(lua_State* L) {
    return Describe(L, true);
}

// text_width(font, size, text [, tracking])
int TextWidthFunction(lua_State* L) {
    State& state = StateOf(L);
    float width = 0.0f;
    bool failed = false;
    {
        std::string error;
        if (!state.text->Measure(luaL_checkstring(L, 1), static_cast<float>(luaL_checknumber(L, 2)),
                                 static_cast<float>(luaL_optnumber(L, 4, 0)), luaL_checkstring(L, 3), &width, &error)) {
            lua_pushstring(L, error.c_str());
            failed = true;
        }
    }
    if (failed) return lua_error(L);
    lua_pushnumber(L, width);
    return 1;
}
}  // namespace

bool DescriptionReader::Read(const std::vector<std::string>& files, std::vector<Picture>* pictures,
                             std::string* error) {
    std::vector<std::pair<std::string, std::string>> sources;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            *error = "cannot read " + file;
            return false;
        }
        std::ostringstream text;
        text << in.rdbuf();
        sources.push_back({file, text.str()});
    }
    return Run(sources, pictures, error);
}

bool DescriptionReader::ReadText(const std::string& name, const std::string& source, std::vector<Picture>* pictures,
                                 std::string* error) {
    return Run({{name, source}}, pictures, error);
}

bool DescriptionReader::Run(const std::vector<std::pair<std::string, std::string>>& sources,
                            std::vector<Picture>* pictures, std::string* error) {
    lua_State* L = luaL_newstate();
    if (!L) {
        *error = "no memory for Lua";
        return false;
    }
    luaL_openlibs(L);
    State state{pictures, &text_};
    auto bind = [&](const char* name, lua_CFunction function) {
        lua_pushlightuserdata(L, &state);
        lua_pushcclosure(L, function, 1);
        lua_setglobal(L, name);
    };
    bind("picture", PictureFunction);
    bind("preview", PreviewFunction);
    bind("text_width", TextWidthFunction);
    bool good = luaL_loadbuffer(L, kPrelude, std::char_traits<char>::length(kPrelude), "prelude") == 0 &&
                lua_pcall(L, 0, 0, 0) == 0;
    for (size_t i = 0; good && i < sources.size(); ++i) {
        const std::string chunk = "@" + sources[i].first;
        good = luaL_loadbuffer(L, sources[i].second.data(), sources[i].second.size(), chunk.c_str()) == 0 &&
               lua_pcall(L, 0, 0, 0) == 0;
    }
    if (!good) *error = lua_isstring(L, -1) ? lua_tostring(L, -1) : "a description failed";
    lua_close(L);
    return good;
}
