"""Reads gdbus's answer to ListResources from stdin and prints one value of it.

  listing.py field RESOURCE_ID FIELD     a field of a resource ("" when it is not listed)
  listing.py choice CONTROL_ID PREFIX    the index of the first option starting with PREFIX
  listing.py ids PREFIX                  every resource id starting with PREFIX, one a line
"""
import ast
import json
import sys


def resources():
    text = sys.stdin.read().strip()
    # gdbus prints a one-string tuple in Python's literal syntax: ('[…]',)
    return json.loads(ast.literal_eval(text)[0])


def main(argv):
    listed = resources()
    if argv[0] == "field":
        for resource in listed:
            if resource["id"] == argv[1]:
                print(resource.get(argv[2], ""))
        return
    if argv[0] == "choice":
        for resource in listed:
            if resource["id"] != "vesk.control:" + argv[1]:
                continue
            choices = resource["actions"][0]["params"][0].get("choices", [])
            for index, label in enumerate(choices):
                if label.startswith(argv[2]):
                    print(index)
                    return
        return
    if argv[0] == "ids":
        for resource in listed:
            if resource["id"].startswith(argv[1]):
                print(resource["id"])
        return
    sys.exit("unknown request " + argv[0])


if __name__ == "__main__":
    main(sys.argv[1:])
