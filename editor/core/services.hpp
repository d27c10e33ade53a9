// What the editor's handlers need of the platform beyond their window, by role: talking to
// the user, starting programs and helpers, the editor's folders, files and paths, what starts
// Brightwick at logon, access lists and administrator rights, and the Recycle Bin. Win32
// implements them in win/; tests use a recording fake of each.
//
// A handler takes `Uses<...>` of exactly the roles it touches, so that its signature tells
// what it may change: a role named const can only be asked. A wider `Uses`, or one object
// that plays all the roles (the platform, a combination of fakes), passes for a narrower one.
#pragma once

#include <concepts>
#include <cstddef>
#include <tuple>
#include <type_traits>

#include "editor/core/services/access.hpp"
#include "editor/core/services/files.hpp"
#include "editor/core/services/folders.hpp"
#include "editor/core/services/messages.hpp"
#include "editor/core/services/programs.hpp"
#include "editor/core/services/recycle_bin.hpp"
#include "editor/core/services/startup.hpp"
#include "editor/core/services/types.hpp"
#include "schedule/show_window.hpp"

namespace editor {

namespace roles {

// Where `Role`, const or not, stands in `Roles`; sizeof...(Roles) when it is not there.
template <class Role, class... Roles>
constexpr std::size_t indexOf() {
    constexpr bool same[] = {std::is_same_v<std::remove_const_t<Roles>, Role>..., false};
    std::size_t index = 0;
    while (index < sizeof...(Roles) && !same[index]) ++index;
    return index;
}

template <class Role, class... Roles>
constexpr bool has = indexOf<Role, Roles...>() < sizeof...(Roles);

template <class Player, class... Roles>
concept Plays = (std::derived_from<Player, std::remove_const_t<Roles>> && ...);

}  // namespace roles

template <class... Role>
class Uses {
  public:
    // Each converts on its own, as a call passes its roles on: that is the point of the class.
    Uses(Role&... roles) : roles_(roles...) {}
    // One object that plays every role asked for.
    template <roles::Plays<Role...> Player>
    Uses(Player& player) : roles_(static_cast<Role&>(player)...) {}
    // A handler passing on some of its roles.
    template <class... Wider>
    Uses(const Uses<Wider...>& wider) requires(roles::has<std::remove_const_t<Role>, Wider...>&&...)
        : roles_(wider.template role<std::remove_const_t<Role>>()...) {}

    template <class R>
    requires roles::has<R, Role...>
    auto& role() const { return std::get<roles::indexOf<R, Role...>()>(roles_); }

    auto& messages() const requires roles::has<Messages, Role...> { return role<Messages>(); }
    auto& programs() const requires roles::has<Programs, Role...> { return role<Programs>(); }
    auto& folders() const requires roles::has<Folders, Role...> { return role<Folders>(); }
    auto& files() const requires roles::has<Files, Role...> { return role<Files>(); }
    auto& startup() const requires roles::has<Startup, Role...> { return role<Startup>(); }
    auto& access() const requires roles::has<Access, Role...> { return role<Access>(); }
    auto& recycleBin() const requires roles::has<RecycleBin, Role...> { return role<RecycleBin>(); }

  private:
    std::tuple<Role&...> roles_;
};

}  // namespace editor
