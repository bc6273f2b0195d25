# The Python package `varnel`: the pure-Python layer in python/varnel and its extension
# varnel._varnel, which CMake builds from the same sources and with the same flags as the programs,
# so that the package's numbers are the programs' to the bit.
import os
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        target = Path(self.get_ext_fullpath(ext.name)).resolve()
        build = Path(self.build_temp).resolve() / "cmake"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Release", "-DVARNEL_TESTS=OFF", "-DVARNEL_PYTHON=ON",
                        f"-DPython_EXECUTABLE={sys.executable}",
                        f"-DCMAKE_LIBRARY_OUTPUT_DIRECTORY={target.parent}"], check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.run(["cmake", "--build", str(build), "--target", "_varnel", "-j", jobs], check=True)
        if not target.exists():
            sys.exit(f"the extension was built under another name than {target.name}")


setup(
    name="varnel",
    version="1.0",
    description="Weibull parameters and life-data analysis on Varnel's core",
    packages=["varnel"],
    package_dir={"varnel": "python/varnel"},
    ext_modules=[CMakeExtension("varnel._varnel")],
    cmdclass={"build_ext": CMakeBuild},
    python_requires=">=3.9",
    install_requires=["numpy"],
    # The repository's build/ belongs to the programs' CMake build.
    options={"build": {"build_base": "build-python/setuptools"}},
)
