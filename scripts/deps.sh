# Installs the Debian packages Brelund needs to build and test, when any is
# missing. Sourced by run.sh and test.sh.

BRELUND_PACKAGES=(
  cmake make g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libtbb-dev
  # The loading conditions kept beside a ship are JSON.
  nlohmann-json3-dev
  locales
  # The desktop application: Qt 6 Widgets, its platform plugins, X11 for the
  # lock-key panes, a font, and the tools that check the desktop files.
  qt6-base-dev libqt6opengl6-dev qt6-qpa-plugins libx11-dev
  # The calculations' charts (Qt Charts) and their export as SVG (Qt SVG).
  qt6-charts-dev qt6-svg-dev
  # Qt's own buttons and dialogs in Italian, as the rest of the interface.
  qt6-translations-l10n
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libglx-mesa0 libegl-mesa0
  fonts-dejavu-core desktop-file-utils shared-mime-info
  # Headless runs of windows that draw with OpenGL.
  xvfb xauth
  # The booklet's PDF read back as text and pictures by its tests.
  poppler-utils
  # The Python module (pybind11) and its tests (pytest, numpy).
  python3 python3-dev pybind11-dev python3-numpy python3-pytest
  # The manual pages are checked by man (man --warnings).
  man-db
)

brelund_install_deps() {
  local missing=()
  local p
  for p in "${BRELUND_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
      echo "Missing packages. Install them with:" >&2
      echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
      return 1
    fi
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# The tests check number formatting under a locale with a decimal comma.
brelund_comma_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
    if [ "$(id -u)" -eq 0 ]; then
      localedef -i it_IT -f UTF-8 it_IT.UTF-8 >/dev/null 2>&1 || true
    else
      echo "note: the it_IT.UTF-8 locale is missing; the locale tests will fail" >&2
    fi
  fi
}
