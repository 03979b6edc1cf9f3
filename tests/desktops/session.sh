# What the private desktop sessions share (sway/with-sway.sh, gnome/with-gnome.sh,
# kde/with-kde.sh), sourced by each. A session script runs in two halves:
#
# - the outer half, as whoever runs the test: a folder /tmp/quorix-NAME.XXXXXX for the
#   session with copies of the script, its files, the command and the --copy files; then
#   the inner half in a process group of its own with nothing of this environment but what
#   the test run chose, as a throwaway user "quorix-NAME-test" when run as root (the
#   desktops refuse root, and a session bus admits only its owner); at the end, the
#   screenshots the test left (QUORIX_<NAME>_SHOTS), the logs (QUORIX_<NAME>_KEEP) and, on
#   failure, the tail of every log;
# - the inner half, as the session's user, which starts the desktop and runs the command.
#
# NAME is wayland (sway), gnome or kde; the variables QUORIX_<NAME>_INNER and _TOP tell the
# inner half that it is one and where its folder is.

# The arguments of a session script: [--copy FILE]... [--] COMMAND ARGS...; sets `copies`
# and `command_line`.
desktop_arguments() {
  copies=()
  while [[ $# -gt 0 ]]; do
    case "$1" in
      --copy) copies+=("$2"); shift 2 ;;
      --) shift; break ;;
      *) break ;;
    esac
  done
  [[ $# -gt 0 ]] || { echo "usage: $(basename "$0") [--copy FILE]... -- COMMAND"; exit 2; }
  command_line=("$@")
}

# Skips the test (exit 77) unless every tool is installed: a command on PATH, or an
# absolute path of a program.
desktop_require() {
  local tool
  for tool in "$@"; do
    if [[ $tool == /* ]]; then
      [[ -x $tool ]] && continue
      echo "SKIP: $(basename "$tool") is not installed"
    else
      command -v "$tool" >/dev/null 2>&1 && continue
      echo "SKIP: $tool is not installed"
    fi
    exit 77
  done
}

# Skips the test (exit 77) unless Python can import the module.
#   desktop_require_python_module MODULE PACKAGE
desktop_require_python_module() {
  /usr/bin/python3 -c "import $1" 2>/dev/null && return 0
  echo "SKIP: $2 is not installed"
  exit 77
}

# XWayland puts its socket in /tmp/.X11-unix, and refuses a folder that is not root's,
# mode 1777.
desktop_require_x11_socket_folder() {
  [[ -d /tmp/.X11-unix ]] && return 0
  if [[ $(id -u) -eq 0 ]]; then
    mkdir -m 1777 /tmp/.X11-unix
  else
    echo "SKIP: /tmp/.X11-unix is missing and only root can make it"
    exit 77
  fi
}

# CTest ends a test that runs out of time with SIGKILL, which no trap sees: the tests run
# within a budget a little shorter (QUORIX_<NAME>_BUDGET), and what is left of a session
# killed all the same (desktop sessions run one at a time, under a lock) is ended and
# swept at the next start.
desktop_sweep() {
  local name=$1 old group
  for old in /tmp/quorix-"$name".*; do
    [[ -d $old ]] || continue
    group=$(cat "$old/session.pgid" 2>/dev/null) || group=""
    if [[ -n $group ]]; then
      kill -TERM -- "-$group" 2>/dev/null && sleep 1 && kill -KILL -- "-$group" 2>/dev/null
      rm -rf "$old"
    elif [[ -n $(find "$old" -maxdepth 0 -mmin +2) ]]; then
      rm -rf "$old"
    fi
  done
}

# The outer half; never returns.
#   desktop_outer_half NAME SCRIPT COMMAND ARGS...
# with, set by the caller: session_files (the script's own files, copied with cp -r),
# copies (the --copy files), session_keep (VAR=value for the inner half), and an optional
# function session_prepare, called with the session's folder before it starts.
desktop_outer_half() {
  local name=$1 script=$2
  shift 2
  local prefix
  prefix=QUORIX_$(echo "$name" | tr '[:lower:]' '[:upper:]')
  desktop_sweep "$name"
  top=$(mktemp -d /tmp/quorix-"$name".XXXXXX)
  # Stopped from outside (a test's timeout), the whole session goes: it runs in a process
  # group of its own, whose leader says its id in session.pgid.
  stop_session() {
    local group
    group=$(cat "$top/session.pgid" 2>/dev/null) || return 0
    kill -TERM -- "-$group" 2>/dev/null && sleep 1
    kill -KILL -- "-$group" 2>/dev/null
  }
  trap 'rm -rf "$top"' EXIT
  trap 'stop_session; exit 130' INT TERM
  chmod 755 "$top"
  mkdir -p "$top/bin"
  cp -r "$script" "$(dirname "$script")/../session.sh" "${session_files[@]}" "$top/bin/"
  if declare -F session_prepare >/dev/null; then
    session_prepare "$top"
  fi
  local cmd
  cmd=$(command -v "$1")
  cp "$cmd" "$top/bin/"
  local f
  for f in "${copies[@]}"; do cp "$f" "$top/bin/"; done
  chmod -R a+rX "$top"
  shift
  local args=("$top/bin/$(basename "$cmd")" "$@")
  # What the test run chose passes through; nothing else of this environment does.
  local keep=(PATH="$PATH" LANG=C.UTF-8 LC_ALL="${LC_ALL:-C.UTF-8}" "${prefix}_INNER=1"
    "${prefix}_TOP=$top" "${session_keep[@]}")
  local var budget=${prefix}_BUDGET
  for var in QT_QPA_PLATFORM QT_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QUORIX_BENCH_SECONDS \
    "$budget" ASAN_OPTIONS LSAN_OPTIONS; do
    [[ -n "${!var:-}" ]] && keep+=("$var=${!var}")
  done
  local inner
  inner=$top/bin/$(basename "$script")
  if [[ $(id -u) -eq 0 ]]; then
    local user=quorix-$name-test
    if ! id "$user" >/dev/null 2>&1; then
      useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" ||
        { echo "$(basename "$script"): cannot create the user $user"; exit 1; }
    fi
    chown -R "$user" "$top"
    runuser -u "$user" -- env -i "${keep[@]}" setsid "$inner" -- "${args[@]}" &
  else
    env -i "${keep[@]}" setsid "$inner" -- "${args[@]}" &
  fi
  wait $!
  local rc=$?
  local shots=${prefix}_SHOTS logs=${prefix}_KEEP
  # Screenshots the test left for a person to look at, and the session's logs.
  if [[ -n "${!shots:-}" ]]; then
    mkdir -p "${!shots}" && cp "$top"/control/*.png "${!shots}/" 2>/dev/null
  fi
  if [[ -n "${!logs:-}" ]]; then
    mkdir -p "${!logs}" && cp -r "$top"/log/. "${!logs}/" 2>/dev/null
  fi
  if [[ $rc -ne 0 && $rc -ne 77 && -d "$top/log" ]]; then
    for f in "$top"/log/*.log; do echo "---- $(basename "$f")"; tail -n 30 "$f"; done
  fi
  exit $rc
}

# The inner half's first step: this process leads the session's group, and the session's
# user gets a home, a runtime folder and XDG folders of its own inside the session folder.
desktop_inner_home() {
  top=$1
  echo $$ >"$top/session.pgid"
  mkdir -p "$top/home" "$top/run" "$top/log" "$top/control"
  chmod 700 "$top/run"
  export HOME="$top/home" XDG_RUNTIME_DIR="$top/run"
  export XDG_CONFIG_HOME="$top/home/.config" XDG_DATA_HOME="$top/home/.local/share"
  export XDG_CACHE_HOME="$top/home/.cache"
}

# The programs the inner half starts in the background go into `pids`; they are ended,
# newest first, when it exits, and then whatever the optional function session_end ends.
# Each logs into $log.
desktop_track_programs() {
  log=$top/log
  pids=()
  trap desktop_end_programs EXIT
}
desktop_end_programs() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  wait 2>/dev/null
  if declare -F session_end >/dev/null; then
    session_end
  fi
}

#   wait_for SECONDS DESCRIPTION TEST-COMMAND...
wait_for() {
  local n=$(($1 * 20)) what=$2
  shift 2
  for _ in $(seq 1 $n); do "$@" && return 0; sleep 0.05; done
  echo "$(basename "$0"): $what did not come up"
  return 1
}

# Whether a name has an owner on the session bus.
on_bus() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}

# Runs the test's command, within the budget the caller gives (QUORIX_<NAME>_BUDGET
# seconds, below the test's own timeout) where there is one, so that the session ends by
# its own hand and takes its folder with it.
#   desktop_run_command BUDGET-SECONDS-OR-EMPTY COMMAND ARGS...
desktop_run_command() {
  local budget=$1
  shift
  if [[ -n $budget ]]; then
    timeout --kill-after=5 "$budget" "$@"
  else
    "$@"
  fi
}

# PipeWire and its session manager WirePlumber, in the session's runtime folder.
desktop_start_pipewire() {
  export PIPEWIRE_RUNTIME_DIR=$XDG_RUNTIME_DIR
  pipewire >"$log/pipewire.log" 2>&1 &
  pids+=($!)
  wait_for 10 "PipeWire" test -S "$XDG_RUNTIME_DIR/pipewire-0" || return 1
  wireplumber >"$log/wireplumber.log" 2>&1 &
  pids+=($!)
}
