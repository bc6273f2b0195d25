"""Results that are JSON documents of the command line, read as Python objects: members are
attributes in snake case (``result.two_parameter.log_likelihood`` for "twoParameter" and
"logLikelihood") and items under their JSON names; ``to_dict()`` is the document itself."""
import copy
import re
from collections.abc import Mapping


def _json_name(attribute):
    return re.sub(r"_([a-z0-9])", lambda match: match.group(1).upper(), attribute)


def _python_name(key):
    return re.sub(r"([A-Z])", lambda match: "_" + match.group(1).lower(), key)


def _view(value):
    if isinstance(value, dict):
        return JsonView(value)
    if isinstance(value, list):
        return [_view(item) for item in value]
    return value


class JsonView(Mapping):
    """A read-only view of one JSON object."""

    __slots__ = ("_members",)

    def __init__(self, members):
        self._members = members

    def __getattr__(self, name):
        try:
            return _view(self._members[_json_name(name)])
        except KeyError:
            raise AttributeError(name) from None

    def __getitem__(self, key):
        return _view(self._members[key])

    def __iter__(self):
        return iter(self._members)

    def __len__(self):
        return len(self._members)

    def __dir__(self):
        return [_python_name(key) for key in self._members]

    def __repr__(self):
        return f"{type(self).__name__}({self._members!r})"

    def to_dict(self):
        """The JSON object as plain dicts and lists, a copy the caller may change."""
        return copy.deepcopy(self._members)
