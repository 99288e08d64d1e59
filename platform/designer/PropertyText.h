#pragma once

#include <array>
#include <cstdint>
#include <platform/designer/ComponentRegistry.h>
#include <platform/graphics/Font.h>
#include <platform/rtl/Export.h>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <variant>
#include <vector>

namespace Platform {

// How property values are spelt in a form file. Each parser raises EDesignError naming what it
// expected when the text is not a whole value of its kind.
namespace PropertyText {
VELGRAPH_API std::string FromInteger(long long value);
VELGRAPH_API long long ToInteger(std::string_view text, long long min, long long max);
// The shortest text that reads back as the same double.
VELGRAPH_API std::string FromDouble(double value);
VELGRAPH_API double ToDouble(std::string_view text);
VELGRAPH_API std::string FromBoolean(bool value);
VELGRAPH_API bool ToBoolean(std::string_view text);
// Quoted with ' (doubled inside); control characters as #code between quoted runs.
VELGRAPH_API std::string FromString(std::string_view value);
VELGRAPH_API std::string ToString(std::string_view text);
// One of the names, by its position.
VELGRAPH_API int ToEnum(std::string_view text, std::span<const char *const> names);
// A set of enumeration values as "[fsBold, fsItalic]": bit i stands for names[i].
VELGRAPH_API std::string FromSet(std::uint32_t bits, std::span<const char *const> names);
VELGRAPH_API std::uint32_t ToSet(std::string_view text, std::span<const char *const> names);
// A method name: an identifier.
VELGRAPH_API std::string ToIdentifier(std::string_view text);
} // namespace PropertyText

// Typed builders of published properties: the getter and setter work on the class itself.
template <class T> T &PublishedObject(TComponent &object) {
  auto *typed = dynamic_cast<T *>(&object);
  if (!typed)
    throw EDesignError("Property set on a component of another class");
  return *typed;
}

template <class T, class Get, class Set>
TPublishedPropertyInfo IntegerProperty(std::string name, Get get, Set set, std::optional<int> streamDefault) {
  return {std::move(name),
          [get](const TComponent &c) {
            return PropertyText::FromInteger(get(PublishedObject<T>(const_cast<TComponent &>(c))));
          },
          [set](TComponent &c, const std::string &text) {
            set(PublishedObject<T>(c), static_cast<int>(PropertyText::ToInteger(text, INT32_MIN, INT32_MAX)));
          },
          streamDefault ? std::optional(PropertyText::FromInteger(*streamDefault)) : std::nullopt};
}

template <class T, class Get, class Set>
TPublishedPropertyInfo DoubleProperty(std::string name, Get get, Set set, std::optional<double> streamDefault) {
  return {std::move(name),
          [get](const TComponent &c) {
            return PropertyText::FromDouble(get(PublishedObject<T>(const_cast<TComponent &>(c))));
          },
          [set](TComponent &c, const std::string &text) { set(PublishedObject<T>(c), PropertyText::ToDouble(text)); },
          streamDefault ? std::optional(PropertyText::FromDouble(*streamDefault)) : std::nullopt};
}

template <class T, class Get, class Set>
TPublishedPropertyInfo BooleanProperty(std::string name, Get get, Set set, std::optional<bool> streamDefault) {
  return {std::move(name),
          [get](const TComponent &c) {
            return PropertyText::FromBoolean(get(PublishedObject<T>(const_cast<TComponent &>(c))));
          },
          [set](TComponent &c, const std::string &text) { set(PublishedObject<T>(c), PropertyText::ToBoolean(text)); },
          streamDefault ? std::optional(PropertyText::FromBoolean(*streamDefault)) : std::nullopt};
}

template <class T, class Get, class Set>
TPublishedPropertyInfo StringProperty(std::string name, Get get, Set set, std::optional<std::string> streamDefault) {
  return {std::move(name),
          [get](const TComponent &c) {
            return PropertyText::FromString(get(PublishedObject<T>(const_cast<TComponent &>(c))));
          },
          [set](TComponent &c, const std::string &text) { set(PublishedObject<T>(c), PropertyText::ToString(text)); },
          streamDefault ? std::optional(PropertyText::FromString(*streamDefault)) : std::nullopt};
}

// An enumeration written by name; names[i] is the value i.
template <class T, class Get, class Set>
TPublishedPropertyInfo EnumProperty(std::string name, std::span<const char *const> names, Get get, Set set,
                                    std::optional<int> streamDefault) {
  auto nameOf = [names](int value) {
    if (value < 0 || static_cast<std::size_t>(value) >= names.size())
      throw EDesignError("Enumeration value out of range");
    return std::string(names[static_cast<std::size_t>(value)]);
  };
  return {std::move(name),
          [get, nameOf](const TComponent &c) {
            return nameOf(static_cast<int>(get(PublishedObject<T>(const_cast<TComponent &>(c)))));
          },
          [set, names](TComponent &c, const std::string &text) {
            set(PublishedObject<T>(c), PropertyText::ToEnum(text, names));
          },
          streamDefault ? std::optional(nameOf(*streamDefault)) : std::nullopt};
}

// A set written as "[name, name]"; get and set work on its bits (bit i is names[i]).
template <class T, class Get, class Set>
TPublishedPropertyInfo SetProperty(std::string name, std::span<const char *const> names, Get get, Set set,
                                   std::optional<std::uint32_t> streamDefault) {
  return {std::move(name),
          [get, names](const TComponent &c) {
            return PropertyText::FromSet(get(PublishedObject<T>(const_cast<TComponent &>(c))), names);
          },
          [set, names](TComponent &c, const std::string &text) {
            set(PublishedObject<T>(c), PropertyText::ToSet(text, names));
          },
          streamDefault ? std::optional(PropertyText::FromSet(*streamDefault, names)) : std::nullopt};
}

// An event held in a std::function member of the class (one of TEventHandler's kinds). It is
// written as the name of the method a form file bound to it, and left out while unbound or unset.
template <class T, class Member> TPublishedPropertyInfo EventProperty(std::string name, Member member) {
  using THandler = std::remove_cvref_t<decltype(std::declval<T &>().*member)>;
  TPublishedPropertyInfo event{name,
                               [member, name](const TComponent &c) {
                                 const T &object = PublishedObject<T>(const_cast<TComponent &>(c));
                                 return (object.*member) ? c.HandlerName(name) : std::string();
                               },
                               nullptr, std::nullopt};
  event.Bind = [member, name](TComponent &c, const std::string &method, const TEventHandler &handler) {
    const auto *typed = std::get_if<THandler>(&handler);
    if (!typed && !std::holds_alternative<std::monostate>(handler))
      throw EDesignError("the handler " + method + " does not take this event's arguments");
    PublishedObject<T>(c).*member = typed ? *typed : THandler([](auto &&...) {});
    c.SetHandlerName(name, method);
  };
  return event;
}

inline constexpr std::array<const char *, 4> FontStyleNames{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

// A font as the properties prefix.Name, prefix.Size, prefix.Style and prefix.Color. Each is set by
// handing a changed copy of the font to setFont, so the class's own font setter runs. Without
// defaults every one is always stored.
template <class T, class GetFont, class SetFont>
void AddFontProperties(std::vector<TPublishedPropertyInfo> &properties, const std::string &prefix, GetFont getFont,
                       SetFont setFont, const TFont *defaults) {
  const auto change = [getFont, setFont](auto edit) {
    return [getFont, setFont, edit](T &c, const auto &value) {
      TFont font = getFont(c);
      edit(font, value);
      setFont(c, font);
    };
  };
  const auto styleBits = [](const TFont &f) { return f.Style().Bits(); };
  properties.push_back(StringProperty<T>(
      prefix + ".Name", [getFont](const T &c) { return getFont(c).Name(); },
      change([](TFont &f, const std::string &v) { f.SetName(v); }),
      defaults ? std::optional(defaults->Name()) : std::nullopt));
  properties.push_back(IntegerProperty<T>(
      prefix + ".Size", [getFont](const T &c) { return getFont(c).Size(); },
      change([](TFont &f, int v) { f.SetSize(v); }), defaults ? std::optional(defaults->Size()) : std::nullopt));
  properties.push_back(SetProperty<T>(
      prefix + ".Style", FontStyleNames, [getFont, styleBits](const T &c) { return styleBits(getFont(c)); },
      change([](TFont &f, std::uint32_t bits) {
        TFontStyles styles;
        for (std::size_t i = 0; i < FontStyleNames.size(); ++i)
          styles.Set(static_cast<TFontStyle>(i), (bits >> i & 1u) != 0);
        f.SetStyle(styles);
      }),
      defaults ? std::optional(styleBits(*defaults)) : std::nullopt));
  properties.push_back(IntegerProperty<T>(
      prefix + ".Color", [getFont](const T &c) { return getFont(c).Color(); },
      change([](TFont &f, int v) { f.SetColor(v); }), defaults ? std::optional(defaults->Color()) : std::nullopt));
}

} // namespace Platform
