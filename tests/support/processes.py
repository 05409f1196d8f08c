# processes.py: running programs for the tests, with every wait bounded.
#
# run_step runs a short command to completion; Program leaves one running
# with its output going to files, in a session of its own so whatever it
# starts (SDL's message-box helper, Wine's processes) ends with it.
import os
import signal
import subprocess
import tempfile


class ProgramError(Exception):
    """A step failed or a program did not end in time."""


def run_step(args, timeout, what, **kwargs):
    """Runs a command to completion and returns its standard output and error.
    Output goes through a file: background processes it starts (Wine's) inherit
    it, and a pipe would stay open until they leave."""
    with tempfile.TemporaryFile() as out:
        try:
            done = subprocess.run(args, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout, **kwargs)
        except subprocess.TimeoutExpired:
            raise ProgramError(f"{what} did not finish in {timeout} s") from None
        out.seek(0)
        text = out.read().decode(errors="replace")
    if done.returncode != 0:
        raise ProgramError(f"{what} failed ({done.returncode}):\n{text}")
    return text


class Program:
    """A program left running, its standard output and error going to files
    (one file when `stderr_path` is None)."""

    def __init__(self, command, cwd, env, stdout_path, stderr_path=None):
        self.stdout_path = stdout_path
        self.stderr_path = stderr_path or stdout_path
        with open(stdout_path, "wb") as out:
            err = open(stderr_path, "wb") if stderr_path else None
            try:
                self.process = subprocess.Popen(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=out,
                                                stderr=err or subprocess.STDOUT, start_new_session=True)
            finally:
                if err:
                    err.close()

    def alive(self):
        return self.process.poll() is None

    def wait(self, timeout):
        """The exit code, once the program has ended; ProgramError after `timeout` seconds."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise ProgramError(f"the program did not exit within {timeout:.0f} s") from None

    def kill(self, timeout=20.0):
        """Ends the program and everything in its session."""
        if self.alive():
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait(timeout)

    def output(self):
        return _read(self.stdout_path)

    def errors(self):
        return _read(self.stderr_path)


def _read(path):
    with open(path, "rb") as f:
        return f.read().decode(errors="replace")
