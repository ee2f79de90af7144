"""A private session bus for a desktop, as every user's desktop has one.

Without one, each program that asks for the session bus (Qt does, to learn whether the
desktop shows menus in a bar of its own) launches one itself: it forks from a process
whose threads already run, and under the address sanitizer the child can stall before it
runs the launcher, leaving the program waiting for it for ever. This bus has no service
folders, so nothing is started on it. Stopped by its process id."""

import os
import signal
import subprocess
import time

CONFIG = """\
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


class SessionBus:
    def __init__(self, folder, as_user=lambda command: command):
        """Starts the bus with its socket in folder; as_user wraps its command line to run it
        as the user the desktop's programs run as."""
        self.socket = os.path.join(folder, "session-bus")
        config = os.path.join(folder, "session-bus.conf")
        with open(config, "w") as f:
            f.write(CONFIG.format(socket=self.socket))
        os.chmod(config, 0o644)
        self.process = subprocess.Popen(as_user(["dbus-daemon", "--nofork", "--nopidfile", f"--config-file={config}"]),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        end = time.time() + 15
        while not os.path.exists(self.socket):
            if self.process.poll() is not None or time.time() > end:
                self.stop()
                raise AssertionError("the session bus did not start")
            time.sleep(0.02)
        self.address = f"unix:path={self.socket}"

    def stop(self):
        if self.process.poll() is None:
            os.kill(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                os.kill(self.process.pid, signal.SIGKILL)
                self.process.wait()
