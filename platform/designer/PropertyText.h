#pragma once

#include <platform/designer/ComponentRegistry.h>
#include <platform/rtl/Export.h>
#include <span>
#include <string>
#include <string_view>
#include <typeinfo>

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

} // namespace Platform
