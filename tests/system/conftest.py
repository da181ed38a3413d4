"""Fixtures of the whole-program tests: `world` (an 800 x 600 world) and
`world_factory(screen=(w, h))` for other screen sizes. Both end the test's
processes and clean the drives, C: and the registry afterwards."""

import os
import re
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent))

import quibworld  # noqa: E402


def _session_name(config):
    name = os.environ.get("QUIB_WORLD_NAME")
    if not name:
        stems = sorted({Path(str(a).split("::")[0]).stem for a in config.args
                        if str(a).split("::")[0].endswith(".py")})
        name = "-".join(stems) or "all"
    return re.sub(r"[^A-Za-z0-9_.-]", "_", name)[:80]


@pytest.fixture(scope="session")
def world_session(request):
    for helper in ("QuibLaunch.exe", "standin.exe", "probe.exe"):
        if not (quibworld.BUILD_DIR / helper).exists():
            pytest.fail(f"{helper} is missing from {quibworld.BUILD_DIR}: build first "
                        "(or set QUIB_BUILD_DIR)")
    session = quibworld.Session(_session_name(request.config))
    yield session
    session.close()


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    setattr(item, "report_" + report.when, report)


def _keep_evidence(request, world):
    """On failure, keeps a screenshot and the window list beside the build."""
    report = getattr(request.node, "report_call", None)
    if report is None or not report.failed:
        return
    folder = quibworld.BUILD_DIR / "system-failures"
    name = re.sub(r"[^A-Za-z0-9_.-]", "_", request.node.nodeid)[-120:]
    try:
        world.screenshot(folder / f"{name}.png")
        (folder / f"{name}.windows.txt").write_text(
            "\n".join(map(str, world.describe_windows())) + "\n")
    except Exception as error:  # evidence is a courtesy; never mask the failure
        print(f"could not keep evidence: {error}")


@pytest.fixture
def world_factory(world_session, request):
    made = []

    def make(screen=(800, 600)):
        if made:
            raise RuntimeError("one world per test")
        world = quibworld.World(world_session, tuple(screen))
        made.append(world)
        return world

    yield make
    for world in made:
        _keep_evidence(request, world)
        world.end()


@pytest.fixture
def world(world_factory):
    return world_factory()
