#!/usr/bin/env bash
# Runs ramulon-evolve under Slurm the way the README shows it, on a one-node cluster of its own:
#   A. the job array of seeds, each task in a folder of its own;
#   B. a long run cut by its time limit (the --signal, --requeue and --continue pattern), submitted
#      again until it is done, then requeued once finished, and compared file by file with the same
#      run left uninterrupted outside Slurm.
# It installs slurm-wlm and munge where missing, then starts munged, slurmctld and slurmd as plain
# processes (no systemd, no cgroups) with their key, configuration, spool, logs and pid files in a
# temporary folder, and stops them again however the check ends. The folder is removed after a pass
# and kept after a failure, for its logs.
# Usage: scripts/check_slurm.sh
#   RAMULON_EVOLVE  the tool to check (default build/evolve/ramulon-evolve); its render worker must be
#                   at <its folder>/../libexec/ramulon/ramulon-render-worker
# Exit status 0 when every check passed; otherwise 1, with one line saying what failed.
set -euo pipefail
# So that a failing command inside a function is reported too, not only at the top level.
set -o errtrace
cd "$(dirname "$0")/.."
# slurmd and munged run as root, and the check with them; sudo keeps only the variable it reads.
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "check_slurm: FAILED: slurmd and munged need root, and there is no sudo" >&2; exit 1; }
  exec sudo --preserve-env=RAMULON_EVOLVE "$PWD/scripts/check_slurm.sh" "$@"
fi

say() { echo "check_slurm: $*"; }
failed=""
fail() {
  failed="$*"
  echo "check_slurm: FAILED: $*" >&2
  exit 1
}
# A command substitution that fails only hands its status up; the line is said once, up here.
trap 'status=$?; [ "$BASH_SUBSHELL" -eq 0 ] || exit $status
      [ -n "$failed" ] || fail "line $LINENO: \"$BASH_COMMAND\" returned $status"' ERR

seconds_since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }'; }
t_total=$EPOCHREALTIME

# --- packages ---------------------------------------------------------------------------------
t_step=$EPOCHREALTIME
installed=$(scripts/install_missing.sh check_slurm slurm-wlm munge)
install_note=${installed:+installed $installed}
install_note=${install_note:-already installed}
say "install: $(seconds_since "$t_step") s ($install_note)"

# --- the tool ---------------------------------------------------------------------------------
tool=${RAMULON_EVOLVE:-build/evolve/ramulon-evolve}
[ -x "$tool" ] || fail "no tool at $tool (set RAMULON_EVOLVE)"
tool=$(realpath "$tool")
[ "$(basename "$tool")" = ramulon-evolve ] || fail "the job scripts call ramulon-evolve by that name, not $(basename "$tool")"
[ -x "$(dirname "$tool")/../libexec/ramulon/ramulon-render-worker" ] \
  || fail "no render worker at $(dirname "$tool")/../libexec/ramulon/ramulon-render-worker"
"$tool" --help | grep -q -- --continue || fail "$tool has no --continue"
# The job scripts name the tool as a user's would; the jobs inherit this PATH from sbatch.
export PATH="$(dirname "$tool"):$PATH"

# --- the cluster ------------------------------------------------------------------------------
t_step=$EPOCHREALTIME
work=$(mktemp -d /tmp/ramulon-slurm.XXXXXX)
# munged refuses a socket in a folder that not everyone may enter.
chmod 755 "$work"
mkdir -p "$work/key" "$work/socket" "$work/state" "$work/spool" "$work/log"
chmod 700 "$work/key"
chmod 755 "$work/socket"

daemons=()       # pids of the daemons started here, in the order they were started
reference_pid="" # the uninterrupted run outside Slurm, while it runs

cleanup() {
  local status=$?
  trap - ERR
  set +e
  if [ -n "$reference_pid" ]; then
    kill "$reference_pid" 2>/dev/null
    wait "$reference_pid" 2>/dev/null
  fi
  # slurmd leaves its job steps running when it stops, so the jobs go first: cancelled, and
  # waited for while slurmd can still see them end.
  if [ ${#daemons[@]} -ge 3 ]; then
    scancel --user="$(id -un)" 2>/dev/null
    local i
    for i in $(seq 60); do
      [ -z "$(squeue -h -o %i 2>/dev/null)" ] && break
      sleep 1
    done
  fi
  local pid n
  for ((n = ${#daemons[@]} - 1; n >= 0; n--)); do
    pid=${daemons[n]}
    kill "$pid" 2>/dev/null || continue
    for i in $(seq 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  if [ "$status" -eq 0 ]; then
    rm -rf "$work"
  else
    echo "check_slurm: the cluster's logs and the runs are kept in $work" >&2
  fi
  exit "$status"
}
trap cleanup EXIT
# Without these the EXIT trap would see the status of the last command, not the stop.
trap 'fail "stopped by SIGINT"' INT
trap 'fail "stopped by SIGTERM"' TERM
trap 'fail "stopped by SIGHUP"' HUP

# The key stays in the temporary folder; /etc/munge is not touched.
if command -v mungekey >/dev/null; then
  mungekey --create --keyfile="$work/key/munge.key" --bits=1024
else
  dd if=/dev/urandom of="$work/key/munge.key" bs=128 count=1 status=none
  chmod 400 "$work/key/munge.key"
fi
munged --foreground --key-file="$work/key/munge.key" --socket="$work/socket/munge.socket" \
  --pid-file="$work/socket/munged.pid" --seed-file="$work/key/munged.seed" \
  --log-file="$work/log/munged.log" >"$work/log/munged.out" 2>&1 &
daemons+=($!)

host=$(hostname -s)
export SLURM_CONF="$work/slurm.conf"
cat >"$SLURM_CONF" <<EOF
ClusterName=ramulon-check
SlurmctldHost=$host(127.0.0.1)
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
# A requeued job waits for its old credential to expire before it starts again: 120 s by default.
AuthInfo=socket=$work/socket/munge.socket,cred_expire=10
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/log/slurmctld.log
SlurmdLogFile=$work/log/slurmd.log
# Plain processes: no cgroups to track or bind them, no accounting database.
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SwitchType=switch/none
MpiDefault=none
MailProg=/bin/true
SchedulerType=sched/builtin
# A requeued job, eligible again once its credential expired, waits for the next pass of this loop.
SchedulerParameters=sched_interval=5
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
# Between the SIGTERM at the time limit and the SIGKILL: time for the tool to write its checkpoint.
KillWait=30
OverTimeLimit=0
# Off, as on clusters that do not requeue by default, so that the scripts' own --requeue is what
# lets a job be requeued here.
JobRequeue=0
# Ended jobs stay visible to scontrol for the whole check.
MinJobAge=1800
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=check Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
slurmctld -D -f "$SLURM_CONF" >"$work/log/slurmctld.out" 2>&1 &
daemons+=($!)
slurmd -D -f "$SLURM_CONF" >"$work/log/slurmd.out" 2>&1 &
daemons+=($!)

for i in $(seq 60); do
  [ "$(sinfo -h -n "$host" -o %t 2>/dev/null)" = idle ] && break
  for pid in "${daemons[@]}"; do
    kill -0 "$pid" 2>/dev/null || fail "a daemon (pid $pid) ended while starting; see $work/log"
  done
  sleep 0.5
done
[ "$(sinfo -h -n "$host" -o %t 2>/dev/null)" = idle ] || fail "node $host did not come up idle; see $work/log"
say "cluster: $(seconds_since "$t_step") s (munged, slurmctld, slurmd; $(nproc) CPUs)"

# --- helpers on jobs --------------------------------------------------------------------------
# field JOB NAME: NAME's value in scontrol's line for JOB (an array task, or a plain job).
field() {
  scontrol show job -o "$1" | tr ' ' '\n' | sed -n "s/^$2=//p" | head -n 1
}
# wait_ended JOB SECONDS: until squeue no longer lists JOB (for an array, any of its tasks).
wait_ended() {
  local deadline=$((SECONDS + $2))
  while [ -n "$(squeue -h -j "$1" -o %i 2>/dev/null)" ]; do
    [ $SECONDS -lt $deadline ] || fail "job $1 still in the queue after $2 s"
    sleep 1
  done
}
# rows FILE: data rows of a fitness.csv.
rows() { if [ -f "$1" ]; then echo $(($(wc -l <"$1") - 1)); else echo 0; fi; }
# A run folder's files with their hashes, to see whether anything changed.
hashes() { (cd "$1" && find . -type f | sort | xargs sha256sum); }

cd "$work"
mkdir -p runs

# --- A: the job array -------------------------------------------------------------------------
t_step=$EPOCHREALTIME
cat >evolve.sbatch <<'EOF'
#!/bin/bash
#SBATCH --job-name=ramulon
#SBATCH --array=1-100
#SBATCH --cpus-per-task=1
#SBATCH --time=00:30:00
#SBATCH --output=runs/seed-%a.log
#SBATCH --open-mode=append
export LP_NUM_THREADS=1
exec ramulon-evolve --seed "$SLURM_ARRAY_TASK_ID" "$@" --out "runs/seed-$SLURM_ARRAY_TASK_ID" --continue
EOF
array=$(sbatch --parsable --array=1-3 evolve.sbatch --generations 2)
wait_ended "$array" 300
for n in 1 2 3; do
  task="${array}_$n"
  [ "$(field "$task" JobState)" = COMPLETED ] && [ "$(field "$task" ExitCode)" = 0:0 ] \
    || fail "array task $n ended $(field "$task" JobState) with exit code $(field "$task" ExitCode); see $work/runs/seed-$n.log"
  run="runs/seed-$n"
  grep -q '"state": "finished"' "$run/run.json" 2>/dev/null || fail "$run/run.json does not say finished"
  grep -q "\"seed\": $n[,}]" "$run/run.json" || fail "$run/run.json does not hold seed $n"
  [ "$(rows "$run/fitness.csv")" -eq 3 ] || fail "$run/fitness.csv has $(rows "$run/fitness.csv") generations, not 0 to 2"
  # Column 4 is wall-clock seconds, which differ between any two runs.
  cut -d, -f4 --complement "$run/fitness.csv" >"$run.fitness"
done
for pair in "1 2" "1 3" "2 3"; do
  set -- $pair
  if cmp -s "runs/seed-$1.fitness" "runs/seed-$2.fitness"; then
    fail "seeds $1 and $2 gave the same fitness.csv"
  fi
done
say "step A: $(seconds_since "$t_step") s (job array of 3 seeds, 2 generations each, all finished, all different)"

# --- B: cut at the time limit, continued ------------------------------------------------------
t_step=$EPOCHREALTIME
# The run must outlast the first start's cut, which comes 20 to 50 s in (slurmctld looks at time
# limits every 30 s, and sends the warning at the first look within 10 + 30 s of the end), and no
# more, as every start after it is cut about 28 s in. About 75 s in all, from the pace here: the
# array's seed 1 began as this run begins, beside another run as this one runs beside the
# reference. Generations get slower as the trees grow: the first G take about
# G * (1.6 + 0.02 G) times one of the first few (measured on seed 1 up to 35 generations).
pace=$(awk -F, 'NR == 2 { a = $4 } NR == 4 { print ($4 - a) / 2 }' runs/seed-1/fitness.csv)
generations=$(awk -v s="$pace" 'BEGIN { g = 10; while (g < 200 && s * g * (1.6 + 0.02 * g) < 75) g++; print g }')
expected=$(awk -v s="$pace" -v g="$generations" 'BEGIN { printf "%.0f", s * g * (1.6 + 0.02 * g) }')

long_script() { # TIME SIGNAL_SECONDS GENERATIONS
  cat <<EOF
#!/bin/bash
#SBATCH --job-name=ramulon-long
#SBATCH --cpus-per-task=2
#SBATCH --time=$1
#SBATCH --signal=B:TERM@$2
#SBATCH --requeue
#SBATCH --output=runs/long.log
#SBATCH --open-mode=append
export LP_NUM_THREADS=1
exec ramulon-evolve --seed 1 --generations $3 --out runs/long --continue
EOF
}
long_script 00:01:00 10 "$generations" >long.sbatch

# The same command line, never interrupted, outside Slurm, alongside.
mkdir -p reference
(cd reference && LP_NUM_THREADS=1 exec "$tool" --seed 1 --generations "$generations" --out runs/long --continue \
  >run.out 2>run.err) &
reference_pid=$!

starts=0
cut=0
deadline=$((SECONDS + 480))
done_before=0
last_job=""
while ! grep -q '"state": "finished"' runs/long/run.json 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "runs/long not finished after $starts starts in 480 s ($generations generations)"
  starts=$((starts + 1))
  last_job=$(sbatch --parsable long.sbatch)
  wait_ended "$last_job" 300
  state=$(field "$last_job" JobState)
  code=$(field "$last_job" ExitCode)
  runtime=$(field "$last_job" RunTime)
  done_now=$(rows runs/long/fitness.csv)
  [ "$done_now" -gt "$done_before" ] || fail "start $starts (job $last_job, $state) added no generation; see $work/runs/long.log"
  if grep -q '"state": "finished"' runs/long/run.json; then
    [ "$state" = COMPLETED ] && [ "$code" = 0:0 ] || fail "start $starts finished the run but the job ended $state $code"
    say "  start $starts: job $last_job ran $runtime and finished the run ($((done_now - 1)) of $generations generations)"
  else
    # A start that did not finish must have been stopped by SIGTERM and left its checkpoint: the
    # warning signal makes the tool exit 143 (FAILED 143:0); the time limit itself would end the
    # job TIMEOUT.
    { [ "$state" = FAILED ] && [ "$code" = 143:0 ]; } || [ "$state" = TIMEOUT ] \
      || fail "start $starts (job $last_job) ended $state $code without finishing; see $work/runs/long.log"
    grep -q '"state": "interrupted"' runs/long/run.json && grep -q '"signal": "SIGTERM"' runs/long/run.json \
      || fail "after start $starts runs/long/run.json does not say interrupted by SIGTERM"
    [ -f runs/long/checkpoint.bin ] || fail "start $starts was cut but left no runs/long/checkpoint.bin"
    cut=$((cut + 1))
    say "  start $starts: job $last_job ran $runtime, cut ($state $code) after $((done_now - 1)) of $generations generations"
  fi
  done_before=$done_now
done
[ $cut -ge 1 ] || fail "the time limit never cut runs/long: $generations generations ran within one start"

# Requeued by Slurm once finished (as after a node failure), the same line must change nothing.
before=$(hashes runs/long)
restarts=$(field "$last_job" Restarts)
t_requeue=$EPOCHREALTIME
scontrol requeue "$last_job" || fail "scontrol requeue $last_job refused: --requeue did not take"
deadline=$((SECONDS + 120))
until [ "$(field "$last_job" Restarts)" -gt "$restarts" ] && [ -z "$(squeue -h -j "$last_job" -o %i)" ]; do
  [ $SECONDS -lt $deadline ] || fail "requeued job $last_job did not start and end within 120 s"
  sleep 1
done
[ "$(field "$last_job" JobState)" = COMPLETED ] && [ "$(field "$last_job" ExitCode)" = 0:0 ] \
  || fail "requeued job $last_job on the finished run ended $(field "$last_job" JobState) $(field "$last_job" ExitCode)"
[ "$before" = "$(hashes runs/long)" ] || fail "the requeued job changed files of the finished run"
say "  requeued: job $last_job ran again $(seconds_since "$t_requeue") s after scontrol requeue, for $(field "$last_job" RunTime), and changed nothing"

wait "$reference_pid" || { reference_pid=""; fail "the uninterrupted run failed; see $work/reference/run.err"; }
reference_pid=""
ref=reference/runs/long
[ -f "$ref/run.json" ] || fail "the uninterrupted run wrote no run.json"

# Every file alike, but for the times (in run.json, index.html and the checkpoint), the jobs and
# workers and the seconds.
[ ! -e runs/long/run.lock ] && [ ! -e "$ref/run.lock" ] || fail "a run.lock was left behind"
[ -f runs/long/checkpoint.bin ] && [ -f "$ref/checkpoint.bin" ] || fail "a finished run kept no checkpoint.bin"
files=$(cd runs/long && find . -type f | sort)
[ "$files" = "$(cd "$ref" && find . -type f | sort)" ] \
  || fail "the continued run and the uninterrupted one hold different files: $(diff <(echo "$files") <(cd "$ref" && find . -type f | sort) | grep '^[<>]' | tr '\n' ' ')"
# u32 FILE OFFSET: the little-endian 32-bit number there.
u32() { od -An -tu4 --endian=little -j "$2" -N 4 "$1" | tr -d ' '; }
# The checkpoint holds the same times as run.json and fitness.csv, and so a different length and
# SHA-256. Its layout, as the README gives it: 12 bytes of magic, u32 version, u64 body length, the
# body, 32 bytes of SHA-256; the body begins with u32 J and J bytes of JSON, then 15 f64 of camera,
# u32 count of presses of 16 bytes, u32 count of rows of 56 bytes (the seconds at byte 16 of each),
# and the trees and the picture to its end.
checkpoint_text() { # FILE
  local f=$1 json at presses rows end
  json=$(u32 "$f" 24)
  head -c 16 "$f" | od -An -tx1
  dd if="$f" bs=1 skip=28 count="$json" status=none \
    | sed -E 's/"(started|seconds|jobs|workers)":("[^"]*"|[-+.eE0-9]+)/"\1":_/g'
  echo
  at=$((28 + json))
  presses=$(u32 "$f" $((at + 15 * 8)))
  od -An -v -tx1 -j "$at" -N $((15 * 8 + 4 + presses * 16 + 4)) "$f"
  at=$((at + 15 * 8 + 4 + presses * 16))
  rows=$(u32 "$f" "$at")
  at=$((at + 4))
  od -An -v -tx1 -w56 -j "$at" -N $((rows * 56)) "$f" | awk '{ for (i = 17; i <= 24; i++) $i = "__"; print }'
  at=$((at + rows * 56))
  end=$(($(stat -c %s "$f") - 32))
  tail -c +$((at + 1)) "$f" | head -c $((end - at)) | sha256sum
}
normalize() { # FILE
  case "$(basename "$1")" in
    run.json) grep -v -E '"(started|ended)":' "$1" | sed -E 's/"(jobs|workers)": [0-9]+/"\1": N/g' ;;
    fitness.csv) cut -d, -f4 --complement "$1" ;;
    index.html) grep -v '<time' "$1" | sed -E 's#<th>(Jobs|Render workers)</th><td>[^<]*#<th>\1</th><td>N#' ;;
    checkpoint.bin) checkpoint_text "$1" ;;
    *) cat "$1" ;;
  esac
}
differ=()
for f in $files; do
  cmp -s <(normalize "runs/long/$f") <(normalize "$ref/$f") || differ+=("${f#./}")
done
[ ${#differ[@]} -eq 0 ] || fail "cut and continued, runs/long differs from the uninterrupted run in: ${differ[*]}"
say "step B: $(seconds_since "$t_step") s ($generations generations, about $expected s uninterrupted; the time limit cut $cut of $starts starts, requeued once finished; files equal the uninterrupted run's)"

say "passed, $(seconds_since "$t_total") s in all"
